#pragma once

#include <QImage>
#include <memory>

namespace fk {

// A picture object. Controls that are given the same picture share one object.
using Picture = std::shared_ptr<const QImage>;

// Makes a picture from image data in XPM form, as the art is kept in the sources.
Picture pictureFromXpm(const char* const* xpm);

} // namespace fk
