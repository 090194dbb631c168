#pragma once

#include <QImage>
#include <QString>
#include <optional>

namespace formats {

// The toolbox picture of a class, as its library file carries it: the bitmap resource that
// the library's type library names for the class (by ProgID in any case, or by braced class
// identity), read from the file without loading it. Fails with one line saying why.
std::optional<QImage> readToolboxBitmap(const QString& library, const QString& progIdOrClassId, QString* error);

} // namespace formats
