#pragma once

#include <QString>

namespace corvane {

// Every push button of the program's windows is the highlight button of the control library
// that is installed beside the program; the windows find it through the component model by
// this ProgID and never link it.
inline const QString kHighlightButtonClass = QStringLiteral("Lumakey.btn");

} // namespace corvane
