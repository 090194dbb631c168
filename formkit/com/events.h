#pragma once

#include "com/dispatch.h"

namespace fk::com {

// An object that raises events: hosts connect a sink, which receives each event as a call
// of its dispatch interface with the event's dispatch id.
struct IEventSource : IUnknown {
    static constexpr Guid iid = guid("{4C7A1E00-3B6D-4F1A-9E52-0A1B2C3D4E04}");
    // The identity of the event interface the sink must implement.
    virtual HRESULT GetEventInterface(Guid* interfaceId) = 0;
    // The dispatch id of an event, by name.
    virtual HRESULT GetEventID(const QString& name, DISPID* id) = 0;
    virtual HRESULT Advise(IDispatch* sink, std::uint32_t* cookie) = 0;
    virtual HRESULT Unadvise(std::uint32_t cookie) = 0;

protected:
    ~IEventSource() = default;
};

} // namespace fk::com
