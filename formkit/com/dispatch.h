#pragma once

#include "com/unknown.h"
#include "com/variant.h"

#include <QString>
#include <span>

namespace fk::com {

using DISPID = std::int32_t;

enum class InvokeKind { Method = 1, PropertyGet = 2, PropertyPut = 4 };

// What a failed call tells its caller beyond the failure code.
struct ExcepInfo {
    int number = 0;
    QString description;
};

// Late-bound calls: members are named by dispatch id, which names resolve to.
struct IDispatch : IUnknown {
    static constexpr Guid iid = guid("{4C7A1E00-3B6D-4F1A-9E52-0A1B2C3D4E02}");
    virtual HRESULT GetIDOfName(const QString& name, DISPID* id) = 0;
    // On DISP_E_EXCEPTION the callee has filled *error.
    virtual HRESULT Invoke(DISPID id, InvokeKind kind, std::span<const Variant> args, Variant* result,
                           ExcepInfo* error) = 0;

protected:
    ~IDispatch() = default;
};

} // namespace fk::com
