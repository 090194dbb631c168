#pragma once

#include "com/dispatch.h"
#include "com/embedded_control.h"
#include "com/events.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <span>

class QWidget;

namespace fk::com {

// A control from a component library, created by ProgID (or braced class identity) and
// placed in a widget of its host, the site. Everything but the site's place and size goes
// through the control's dispatch interface, and its events come back through a sink
// connected to its event interface. To assistive technology the site is a push button,
// named by what the control says its face shows when the name is asked for.
//
// The site must outlive the control site object; the control is released with it.
class ControlSite {
public:
    ControlSite(QWidget* site, const QString& progId);
    ~ControlSite();
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;

    Variant get(const QString& property) const;
    // A put may change the control's face, and with it the site's accessible name, which is
    // announced.
    void set(const QString& property, const Variant& value);
    Variant call(const QString& method, std::span<const Variant> args = {});

    // Connects a handler to one of the control's events, by the event's name.
    void on(const QString& event, std::function<void()> handler);

    IDispatch* dispatch() const { return dispatch_.get(); }

private:
    class EventSink;
    DISPID idOf(const QString& member) const;
    Variant invoke(const QString& member, InvokeKind kind, std::span<const Variant> args) const;

    QWidget* site_;
    ComPtr<IUnknown> instance_;
    ComPtr<IDispatch> dispatch_;
    ComPtr<IEmbeddedControl> embedded_;
    // What the site's accessible interface asks for its name; it goes with this object.
    std::shared_ptr<ComPtr<IEmbeddedControl>> nameSource_;
    ComPtr<IEventSource> events_;
    ComPtr<EventSink> sink_;
    std::uint32_t cookie_ = 0;
};

} // namespace fk::com
