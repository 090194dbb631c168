#pragma once

#include "com/type_info.h"
#include "core/runtime_error.h"

#include <algorithm>
#include <array>
#include <span>

namespace fk::com {

// One member of a dispatch interface, declared once: what the type library says of it (its
// name, dispatch id, kind, result and number of arguments) beside the handler that carries
// it out on the object. A handler can rely on the argument count of its own row, and no
// member can be declared without one.
template <class Target> struct DispatchMember {
    MemberInfo declared;
    Variant (*handler)(Target& target, std::span<const Variant> args);
};

// The declarations of a table of members, in its order: what the interface lists. Used in a
// constant expression, a row without a handler stops the build.
template <class Target, std::size_t N>
constexpr std::array<MemberInfo, N> declarationsOf(const DispatchMember<Target> (&members)[N])
{
    for (const DispatchMember<Target>& member : members)
        if (!member.handler)
            throw "a member of a dispatch interface has no handler";
    std::array<MemberInfo, N> declarations{};
    std::ranges::transform(members, declarations.begin(), &DispatchMember<Target>::declared);
    return declarations;
}

// Carries out a late-bound call through a table of members: an id and kind that no row has
// answers "member not found", a wrong number of arguments "bad parameter count". An error
// the handler raises comes back as DISP_E_EXCEPTION with its number and text.
template <class Target>
HRESULT invokeMember(std::span<const DispatchMember<Target>> members, Target& target, DISPID id, InvokeKind kind,
                     std::span<const Variant> args, Variant* result, ExcepInfo* error)
{
    const auto member = std::ranges::find_if(
        members, [&](const DispatchMember<Target>& m) { return m.declared.id == id && m.declared.kind == kind; });
    if (member == members.end())
        return DISP_E_MEMBERNOTFOUND;
    if (args.size() != member->declared.argumentCount)
        return DISP_E_BADPARAMCOUNT;
    try {
        Variant value = member->handler(target, args);
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
