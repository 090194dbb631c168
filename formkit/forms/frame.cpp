#include "forms/frame.h"

#include <QGroupBox>

namespace fk {

namespace {

QGroupBox* makeGroupBox(const FrameProps& props)
{
    auto* box = new QGroupBox(props.caption);
    box->setAutoFillBackground(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, props.backColor.toQColor());
    box->setPalette(palette);
    return box;
}

} // namespace

Frame::Frame(Container& container, const FrameProps& props)
    : Control(container, makeGroupBox(props), props.rect, props.tabIndex)
{
}

} // namespace fk
