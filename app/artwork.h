#pragma once

#include "forms/picture.h"

// The program's pictures, drawn for it and kept as XPM sources in art/. Each picture is
// made once and shared.
namespace corvane::art {

fk::Picture wrench32();   // the program icon, 32 x 32, sixteen colours
fk::Picture wrench16();   // the program icon, 16 x 16, sixteen colours
fk::Picture cpuChip();    // 41 x 37
fk::Picture videoCard();  // 43 x 35
fk::Picture memoryChip(); // 49 x 38
fk::Picture exitDoor();   // 16 x 16, sixteen colours

} // namespace corvane::art
