#include "picture.h"

#include "runtime_error.h"

namespace fk {

Picture pictureFromXpm(const char* const* xpm)
{
    QImage image(xpm);
    if (image.isNull())
        throw RuntimeError(481, QStringLiteral("Invalid picture"));
    return std::make_shared<const QImage>(std::move(image));
}

} // namespace fk
