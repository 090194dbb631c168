#include "forms/picture.h"

#include "core/runtime_error.h"

namespace fk {

Picture pictureFromXpm(const char* const* xpm)
{
    QImage image(xpm);
    if (image.isNull())
        throw RuntimeError::invalidPicture();
    return std::make_shared<const QImage>(std::move(image));
}

} // namespace fk
