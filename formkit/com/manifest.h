#pragma once

#include "com/guid.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace fk::com {

// A program's manifest names the component classes the program uses and the library files
// that deliver them, relative to the program's folder, so that the program can create them
// without their being registered on the machine:
//
//   <manifest>
//     <library file="Lumakey.ocx">
//       <class id="{...}" progid="Lumakey.btn"/>
//     </library>
//   </manifest>
struct ManifestClass {
    Guid clsid;
    QString progId;
    QString libraryFile; // as written: relative to the program's folder
};

class Manifest {
public:
    // Reads a manifest; on malformed text returns nothing and says why in *error.
    static std::optional<Manifest> parse(const QByteArray& text, QString* error);

    const std::vector<ManifestClass>& classes() const { return classes_; }
    const ManifestClass* findProgId(const QString& progId) const;
    const ManifestClass* findClass(const Guid& clsid) const;

    // The absolute path of a library the manifest names, or nothing when the name leads
    // outside the program's folder.
    static std::optional<QString> libraryPath(const QString& programDir, const QString& file);

private:
    std::vector<ManifestClass> classes_;
};

} // namespace fk::com
