#pragma once

#include "com/unknown.h"

#include <QByteArray>
#include <QString>

namespace fk::com {

// Tells activation which manifest the program carries and where the program lives.
void setProgramManifest(const QByteArray& manifest, const QString& programDir);

// Creates an instance of a class named by its ProgID or by its braced class identity.
// The program's own manifest is asked first, then the registry. Failing that, raises the
// runtime's error naming the class and the reason.
ComPtr<IUnknown> createObject(const QString& progIdOrClassId);

} // namespace fk::com
