#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <sys/types.h>

namespace fk::com {

// Replaces the contents of a file in one rename, so that readers see the old contents or
// the new, never a part. The new contents are written to "<path>.writing" first, with the
// permissions asked for or else the old file's, and flushed to the disk; after the rename
// the folder is flushed too, so that a crash cannot take the rename back. Only the holder
// of the file's lock may call it: one writer at a time uses that name, and a writer that
// dies half-way leaves the old file in place and a half-written copy that the next writer
// removes (removeLeftovers) or overwrites. path must not be a symbolic link, which the
// rename would replace: replace the file replacementTarget names.
bool replaceFile(const QString& path, const QByteArray& contents, std::optional<mode_t> mode, QString* error);
void removeLeftovers(const QString& path);

// The file that replacing path is to change: path itself, or the file a symbolic link at
// path leads to (by its real path, every link followed), so that the link stays a link.
// A link that leads to no file is an error: what it was meant to name cannot be told.
std::optional<QString> replacementTarget(const QString& path, QString* error);

} // namespace fk::com
