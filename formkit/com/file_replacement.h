#pragma once

#include <QByteArray>
#include <QString>

namespace fk::com {

// Replaces the contents of a file in one rename, so that readers see the old contents or
// the new, never a part. The new contents are written to "<path>.writing" first, with the
// old file's permissions, and flushed to the disk. Only the holder of the file's lock may
// call it: one writer at a time uses that name, and a writer that dies half-way leaves the
// old file in place and a half-written copy that the next writer removes
// (removeLeftovers) or overwrites.
bool replaceFile(const QString& path, const QByteArray& contents, QString* error);
void removeLeftovers(const QString& path);

} // namespace fk::com
