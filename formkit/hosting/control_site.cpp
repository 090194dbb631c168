#include "hosting/control_site.h"

#include "com/activation.h"
#include "com/object.h"
#include "forms/accessibility.h"
#include "forms/accessible_push_button.h"
#include "forms/error_reporting.h"

#include <QAccessible>
#include <QWidget>

namespace fk::com {

namespace {

// Objects of the host are no library's; they count themselves here.
LibraryState& hostState()
{
    static LibraryState state{};
    return state;
}

RuntimeError errorOfCall(HRESULT hr, const ExcepInfo& error, const QString& member)
{
    switch (hr) {
    case DISP_E_EXCEPTION: return RuntimeError(error.number, error.description);
    case DISP_E_UNKNOWNNAME:
    case DISP_E_MEMBERNOTFOUND: return RuntimeError::notSupported(member);
    case DISP_E_BADPARAMCOUNT: return RuntimeError::wrongArgumentCount();
    case DISP_E_TYPEMISMATCH: return RuntimeError::typeMismatch();
    default: return RuntimeError::failedCall(hr, member);
    }
}

} // namespace

// Receives the control's events and runs the host's handlers for them.
class ControlSite::EventSink final : public Object<EventSink, IDispatch> {
public:
    explicit EventSink(Creation creation) : Object(creation, hostState()) {}

    std::map<DISPID, std::function<void()>> handlers;

    HRESULT GetIDOfName(const QString&, DISPID*) override { return DISP_E_UNKNOWNNAME; }

    HRESULT Invoke(DISPID id, InvokeKind, std::span<const Variant>, Variant*, ExcepInfo*) override
    {
        auto it = handlers.find(id);
        if (it != handlers.end() && it->second) {
            // The event's handler is the host's own code; its errors are the host's.
            const std::function<void()> handler = it->second;
            runHandler(handler);
        }
        return S_OK;
    }
};

ControlSite::ControlSite(QWidget* site, const QString& progId) : site_(site), instance_(createObject(progId))
{
    dispatch_ = instance_.as<IDispatch>();
    events_ = instance_.as<IEventSource>();
    embedded_ = instance_.as<IEmbeddedControl>();
    if (!dispatch_ || !embedded_)
        throw RuntimeError::cannotCreateObject(progId, QStringLiteral("the class is not a control"));
    if (failed(embedded_->PlaceIn(site)))
        throw RuntimeError::cannotCreateObject(progId, QStringLiteral("the control cannot be placed"));
    // A press clicks the control's face as the mouse does, so Click comes through the same
    // path. The site's interface lives as long as the site, which may outlive this object:
    // it asks for the name only while the control is here.
    nameSource_ = std::make_shared<ComPtr<IEmbeddedControl>>(embedded_);
    setAccessibleMaker(site, [source = std::weak_ptr(nameSource_)](QWidget* w) {
        return new AccessiblePushButton(w, [source] {
            QString name;
            const auto control = source.lock();
            return control && !failed((*control)->GetAccessibleName(&name)) ? name : QString();
        });
    });
    if (events_) {
        sink_ = makeObject<EventSink>();
        if (failed(events_->Advise(sink_.get(), &cookie_)))
            events_.reset();
    }
}

ControlSite::~ControlSite()
{
    if (events_)
        events_->Unadvise(cookie_);
}

DISPID ControlSite::idOf(const QString& member) const
{
    DISPID id = 0;
    if (failed(dispatch_->GetIDOfName(member, &id)))
        throw RuntimeError::notSupported(member);
    return id;
}

Variant ControlSite::invoke(const QString& member, InvokeKind kind, std::span<const Variant> args) const
{
    // Keep the control alive for the call, whatever its handlers do to the host.
    const ComPtr<IDispatch> target = dispatch_;
    Variant result;
    ExcepInfo error;
    const HRESULT hr = target->Invoke(idOf(member), kind, args, &result, &error);
    if (failed(hr))
        throw errorOfCall(hr, error, member);
    return result;
}

Variant ControlSite::get(const QString& property) const { return invoke(property, InvokeKind::PropertyGet, {}); }

void ControlSite::set(const QString& property, const Variant& value)
{
    invoke(property, InvokeKind::PropertyPut, std::span<const Variant>(&value, 1));
    if (QAccessible::isActive()) {
        QAccessibleEvent changed(site_, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

Variant ControlSite::call(const QString& method, std::span<const Variant> args)
{
    return invoke(method, InvokeKind::Method, args);
}

void ControlSite::on(const QString& event, std::function<void()> handler)
{
    if (!events_)
        throw RuntimeError::notSupported(event);
    DISPID id = 0;
    if (failed(events_->GetEventID(event, &id)))
        throw RuntimeError::notSupported(event);
    sink_->handlers[id] = std::move(handler);
}

} // namespace fk::com
