#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace fk::com {

// The largest built program or library that the loader and the tools read, in bytes: many
// times any this project builds, with every sanitizer on, and still a bound on the memory
// a reader takes.
constexpr qint64 kLargestBuiltFile = qint64(256) << 20;

// Reads the whole of a built file, which anyone may have named to a reader: a regular file
// only, of at most kLargestBuiltFile bytes, so that a device, a pipe or a huge file is refused
// at once with a reason, instead of being read for ever or into all of memory. The reason
// names the file by its path.
std::optional<QByteArray> readBuiltFile(const QString& path, QString* error);

} // namespace fk::com
