#include "forms/container.h"

#include <QWidget>

namespace fk {

float Container::scaleWidth() const { return static_cast<float>(fromPixels(clientWidget()->width())); }
float Container::scaleHeight() const { return static_cast<float>(fromPixels(clientWidget()->height())); }

} // namespace fk
