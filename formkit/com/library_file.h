#pragma once

#include "com/class_factory.h"
#include "com/guid.h"

#include <QString>

namespace fk::com {

// A component library loaded into the process. Libraries load only from an absolute,
// canonical path to a regular file that no other user can write, never by a bare name
// or from the current directory; once loaded, a library stays loaded for the life of the
// process.
class LibraryFile {
public:
    // Loads the library; on failure returns nothing and says why in *reason.
    static const LibraryFile* load(const QString& path, QString* reason);

    // Why the file at path may not be loaded, or an empty text when it may: the checks of
    // where the file lies and who may change it, then those of its contents (a shared
    // library in the executable format, built for this processor, that exports the four
    // entry points of a component library). Nothing of the file is loaded or run to tell.
    static QString refusal(const QString& path);

    const QString& path() const { return path_; }
    HRESULT getClassObject(const Guid& clsid, const Guid& interfaceId, void** object) const;
    // Looks up an exported entry point; null when the library has none of that name.
    void* entryPoint(const char* name) const;

private:
    LibraryFile(QString path, void* handle) : path_(std::move(path)), handle_(handle) {}

    QString path_;
    void* handle_;
};

} // namespace fk::com
