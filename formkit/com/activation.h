#pragma once

#include "com/guid.h"
#include "com/unknown.h"

#include <QByteArray>
#include <QString>

namespace fk::com {

// Tells activation which manifest the program carries and where the program lives.
void setProgramManifest(const QByteArray& manifest, const QString& programDir);

// Adds the manifest of a library that creates classes for its own callers, such as a widget
// library that hosts a control in any program: it names the library files it uses relative
// to the folder that library lives in. Adding the same folder's manifest again replaces it.
void addLibraryManifest(const QByteArray& manifest, const QString& libraryDir);

// Where activation finds a class: its identity, the absolute path of its library, and who
// named the library (for messages).
struct ClassLocation {
    Guid clsid;
    QString libraryPath;
    QString source;
};

// Finds a class the way createObject does, loading nothing. Raises the runtime's error when
// it is nowhere or a manifest or store that names it is damaged.
ClassLocation locateClass(const QString& progIdOrClassId);

// Creates an instance of a class named by its ProgID or by its braced class identity.
// The program's own manifest is asked first, then the manifests of libraries, then the
// registry. Failing that, raises the
// runtime's error naming the class and the reason.
ComPtr<IUnknown> createObject(const QString& progIdOrClassId);

} // namespace fk::com
