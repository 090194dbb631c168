#include "btn_object.h"

#include "lumakey_types.h"

#include "com/dispatch_table.h"

namespace lumakey {

using namespace fk::com;

BtnObject::BtnObject(Creation creation, LibraryState& state)
    : Object(creation, state), control_([this] { raiseClick(); })
{
}

HRESULT BtnObject::GetIDOfName(const QString& name, DISPID* id)
{
    if (!id)
        return E_POINTER;
    const MemberInfo* member = kBtnInterface.find(name);
    if (!member)
        return DISP_E_UNKNOWNNAME;
    *id = member->id;
    return S_OK;
}

HRESULT BtnObject::Invoke(DISPID id, InvokeKind kind, std::span<const Variant> args, Variant* result,
                          ExcepInfo* error)
{
    // The call may make the host drop its last reference; stay alive until it returns.
    const ComPtr<IDispatch> self(this);
    const HRESULT hr = invokeMember(kBtnDispatch, control_, id, kind, args, result, error);
    if (kind == InvokeKind::PropertyPut && !failed(hr))
        control_.propertyPut();
    return hr;
}

HRESULT BtnObject::GetEventInterface(Guid* interfaceId)
{
    if (!interfaceId)
        return E_POINTER;
    *interfaceId = kBtnEvents.iid;
    return S_OK;
}

HRESULT BtnObject::GetEventID(const QString& name, DISPID* id)
{
    if (!id)
        return E_POINTER;
    const MemberInfo* member = kBtnEvents.find(name);
    if (!member)
        return DISP_E_UNKNOWNNAME;
    *id = member->id;
    return S_OK;
}

HRESULT BtnObject::Advise(IDispatch* sink, std::uint32_t* cookie)
{
    if (!sink || !cookie)
        return E_POINTER;
    *cookie = nextCookie_++;
    connections_.push_back({*cookie, ComPtr<IDispatch>(sink)});
    return S_OK;
}

HRESULT BtnObject::Unadvise(std::uint32_t cookie)
{
    const auto removed = std::erase_if(connections_, [cookie](const Connection& c) { return c.cookie == cookie; });
    return removed ? S_OK : CONNECT_E_NOCONNECTION;
}

HRESULT BtnObject::PlaceIn(QWidget* site)
{
    if (!site)
        return E_POINTER;
    control_.placeIn(site);
    return S_OK;
}

HRESULT BtnObject::GetAccessibleName(QString* name)
{
    if (!name)
        return E_POINTER;
    *name = control_.Caption();
    return S_OK;
}

void* BtnObject::otherInterface(const Guid& interfaceId)
{
    return interfaceId == kBtnInterface.iid ? static_cast<IDispatch*>(this) : nullptr;
}

void BtnObject::raiseClick()
{
    // A handler may disconnect sinks or release the control: work on a copy, and keep
    // this object alive until every sink has heard of the click.
    const ComPtr<IDispatch> self(this);
    const std::vector<Connection> connections = connections_;
    for (const Connection& c : connections)
        c.sink->Invoke(kDispIdClick, InvokeKind::Method, {}, nullptr, nullptr);
}

} // namespace lumakey
