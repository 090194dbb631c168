#pragma once

#include "com/type_info.h"
#include "core/runtime_error.h"

#include <algorithm>
#include <span>

namespace fk::com {

// One member of a dispatch interface with the handler that carries it out.
template <class Target> struct DispatchEntry {
    DISPID id;
    InvokeKind kind;
    Variant (*handler)(Target& target, std::span<const Variant> args);
};

// Carries out a late-bound call through a table of handlers. A member must be both declared
// by the interface (which gives its argument count, as the type library does) and carried
// by the table; an id and kind that either lacks answers "member not found", so a member
// added to the declaration without a handler can never run another member's code. An
// error the handler raises comes back as DISP_E_EXCEPTION with its number and text.
template <class Target>
HRESULT invokeFromTable(const InterfaceInfo& declared, std::span<const DispatchEntry<Target>> table, Target& target,
                        DISPID id, InvokeKind kind, std::span<const Variant> args, Variant* result, ExcepInfo* error)
{
    const MemberInfo* member = declared.find(id, kind);
    const auto entry = std::ranges::find_if(
        table, [&](const DispatchEntry<Target>& e) { return e.id == id && e.kind == kind; });
    if (!member || entry == table.end())
        return DISP_E_MEMBERNOTFOUND;
    if (args.size() != member->argumentCount)
        return DISP_E_BADPARAMCOUNT;
    try {
        Variant value = entry->handler(target, args);
        if (result)
            *result = std::move(value);
        return S_OK;
    } catch (const RuntimeError& e) {
        if (error)
            *error = {e.number(), e.description()};
        return DISP_E_EXCEPTION;
    }
}

} // namespace fk::com
