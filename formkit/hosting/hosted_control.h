#pragma once

#include "com/dispatch.h"
#include "com/events.h"
#include "forms/control.h"

#include <QString>
#include <functional>
#include <map>
#include <span>

namespace fk::com {

struct HostedControlProps {
    TwipsRect rect;
    QString progId;   // or the braced class identity
    int tabIndex = -1;
};

// A control from a component library, placed in a site window of its host. The host owns
// the instance for as long as the site lives. Position and size are the site's own
// properties; everything else goes through the control's dispatch interface, and its
// events come back through a sink connected to its event interface.
class HostedControl : public Control {
public:
    HostedControl(Container& container, const HostedControlProps& props);
    ~HostedControl() override;

    Variant get(const QString& property) const;
    void set(const QString& property, const Variant& value);
    Variant call(const QString& method, std::span<const Variant> args = {});

    // Connects a handler to one of the control's events, by the event's name.
    void on(const QString& event, std::function<void()> handler);

    IDispatch* dispatch() const { return dispatch_.get(); }

private:
    class EventSink;
    static QWidget* makeSite();
    DISPID idOf(const QString& member) const;
    Variant invoke(const QString& member, InvokeKind kind, std::span<const Variant> args) const;

    ComPtr<IUnknown> instance_;
    ComPtr<IDispatch> dispatch_;
    ComPtr<IEventSource> events_;
    ComPtr<EventSink> sink_;
    std::uint32_t cookie_ = 0;
};

} // namespace fk::com
