#pragma once

#include <QString>
#include <optional>

namespace fk::com {

// The file of the module (program or library) that an address belongs to, by the absolute
// path the loader opened it with. A module loaded by a relative path has no file to name:
// what it would name depends on the current folder.
std::optional<QString> moduleFileOf(const void* address, QString* error);

} // namespace fk::com
