#pragma once

#include "com/unknown.h"

namespace fk::com {

// Makes instances of one class.
struct IClassFactory : IUnknown {
    static constexpr Guid iid = guid("{4C7A1E00-3B6D-4F1A-9E52-0A1B2C3D4E03}");
    virtual HRESULT CreateInstance(IUnknown* outer, const Guid& interfaceId, void** object) = 0;
    // Keeps the library loaded while a host holds a lock.
    virtual HRESULT LockServer(bool lock) = 0;

protected:
    ~IClassFactory() = default;
};

} // namespace fk::com
