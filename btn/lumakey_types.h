#pragma once

#include "com/dispatch_table.h"
#include "com/library.h"
#include "com/type_info.h"

#include <span>

namespace lumakey {

// The library's public surface: identities, names and dispatch ids, in one place. The
// type library, the registration and name lookup are all made from these.
inline constexpr fk::com::DISPID kDispIdIsMouseOverControl = 0x60030007;
inline constexpr fk::com::DISPID kDispIdCaption = 0x68030000;
inline constexpr fk::com::DISPID kDispIdClick = 1;

class btn;

extern const fk::com::InterfaceInfo kBtnInterface;     // _btn
extern const std::span<const fk::com::DispatchMember<btn>> kBtnDispatch; // what its members do
extern const fk::com::InterfaceInfo kBtnEvents;        // __btn
extern const fk::com::ClassInfo kBtnClass;             // btn
extern const fk::com::TypeLibraryInfo kTypeLibrary;    // Lumakey
extern const fk::com::LibraryDescriptor kLibrary;

} // namespace lumakey
