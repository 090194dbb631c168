#pragma once

#include "btn.h"

#include "com/dispatch.h"
#include "com/embedded_control.h"
#include "com/events.h"
#include "com/object.h"

#include <vector>

namespace lumakey {

// The component object of one highlight button: its dispatch interface _btn, its event
// interface __btn and its placement in a host's site.
class BtnObject final
    : public fk::com::Object<BtnObject, fk::com::IDispatch, fk::com::IEventSource, fk::com::IEmbeddedControl> {
public:
    BtnObject(fk::com::Creation creation, fk::com::LibraryState& state);

    fk::com::HRESULT GetIDOfName(const QString& name, fk::com::DISPID* id) override;
    fk::com::HRESULT Invoke(fk::com::DISPID id, fk::com::InvokeKind kind, std::span<const fk::com::Variant> args,
                            fk::com::Variant* result, fk::com::ExcepInfo* error) override;

    fk::com::HRESULT GetEventInterface(fk::com::Guid* interfaceId) override;
    fk::com::HRESULT GetEventID(const QString& name, fk::com::DISPID* id) override;
    fk::com::HRESULT Advise(fk::com::IDispatch* sink, std::uint32_t* cookie) override;
    fk::com::HRESULT Unadvise(std::uint32_t cookie) override;

    fk::com::HRESULT PlaceIn(QWidget* site) override;
    fk::com::HRESULT GetAccessibleName(QString* name) override;

protected:
    void* otherInterface(const fk::com::Guid& interfaceId) override;

private:
    void raiseClick();

    struct Connection {
        std::uint32_t cookie;
        fk::com::ComPtr<fk::com::IDispatch> sink;
    };
    std::vector<Connection> connections_;
    std::uint32_t nextCookie_ = 1;
    btn control_;
};

} // namespace lumakey
