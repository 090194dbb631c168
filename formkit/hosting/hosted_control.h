#pragma once

#include "forms/control.h"
#include "hosting/control_site.h"

namespace fk::com {

struct HostedControlProps {
    TwipsRect rect;
    QString progId;   // or the braced class identity
    int tabIndex = -1;
};

// A control from a component library, placed in a site window of a form. The form owns the
// instance for as long as the site lives. Position and size are the site's own properties;
// everything else goes to the control (see ControlSite).
class HostedControl : public Control {
public:
    HostedControl(Container& container, const HostedControlProps& props);

    Variant get(const QString& property) const { return site_.get(property); }
    void set(const QString& property, const Variant& value) { site_.set(property, value); }
    Variant call(const QString& method, std::span<const Variant> args = {}) { return site_.call(method, args); }

    // Connects a handler to one of the control's events, by the event's name.
    void on(const QString& event, std::function<void()> handler) { site_.on(event, std::move(handler)); }

    IDispatch* dispatch() const { return site_.dispatch(); }

private:
    ControlSite site_;
};

} // namespace fk::com
