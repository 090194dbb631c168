#pragma once

#include "formats/type_library.h"

#include <QString>

// How the tools write a type library's members and flags, the same way in every tool.

// "0x60030007  method        IsMouseOverControl() as Boolean"
QString memberLine(const formats::TypeLibrary::Member& member);
// "dual, hidden"
QString interfaceFlagsText(std::uint32_t flags);
// A number as 0x followed by upper-case hex digits.
QString hexText(std::uint32_t value, int digits);
