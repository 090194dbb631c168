#pragma once

#include "com/dispatch.h"
#include "com/guid.h"

#include <cstdint>
#include <span>

namespace fk::com {

// What a library declares about its public surface; the type library is written from it
// and names resolve to dispatch ids through it.

enum class ValueType : std::uint16_t { Void = 0, Bool = 11, Variant = 12, Text = 8 };

struct MemberInfo {
    const char* name;
    DISPID id;
    InvokeKind kind;
    ValueType result;
    std::uint16_t argumentCount;
};

enum InterfaceFlags : std::uint32_t {
    InterfaceHidden = 0x1,
    InterfaceDual = 0x2,
    InterfaceDispatchOnly = 0x4,
};

struct InterfaceInfo {
    const char* name;
    Guid iid;
    std::uint32_t flags;
    std::span<const MemberInfo> members;

    const MemberInfo* find(const QString& memberName) const;
    const MemberInfo* find(DISPID id, InvokeKind kind) const;
};

struct ClassInfo {
    const char* name;
    Guid clsid;
    const char* progId;
    bool isControl;
    std::uint32_t miscStatus;     // the control's status bits
    std::uint16_t toolboxBitmap;  // resource id of its toolbox picture
    const InterfaceInfo* defaultInterface;
    const InterfaceInfo* eventInterface;
};

struct TypeLibraryInfo {
    const char* name;
    const char* helpString;
    Guid id;
    std::uint16_t majorVersion;
    std::uint16_t minorVersion;
    std::uint32_t locale;
    bool isControlLibrary;
    std::span<const ClassInfo> classes;
    std::span<const InterfaceInfo* const> interfaces;
};

} // namespace fk::com
