#pragma once

#include "platform/pointer_source.h"

#include <memory>

namespace fk::platform {

// The pointer source of an X11 display, on a connection of its own so that no reading wakes
// the toolkit's event reader; null on any other platform.
std::unique_ptr<PointerSource> openX11PointerSource();

} // namespace fk::platform
