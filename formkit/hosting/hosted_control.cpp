#include "hosting/hosted_control.h"

#include <QWidget>

namespace fk::com {

HostedControl::HostedControl(Container& container, const HostedControlProps& props)
    : Control(container, new QWidget, props.rect, props.tabIndex), site_(widget(), props.progId)
{
}

} // namespace fk::com
