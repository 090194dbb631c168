#include "artwork.h"

#include "art/cpu.xpm"
#include "art/exitdoor.xpm"
#include "art/memory.xpm"
#include "art/videocard.xpm"
#include "art/wrench16.xpm"
#include "art/wrench32.xpm"

namespace corvane::art {

fk::Picture wrench32()
{
    static const fk::Picture picture = fk::pictureFromXpm(::wrench32);
    return picture;
}

fk::Picture wrench16()
{
    static const fk::Picture picture = fk::pictureFromXpm(::wrench16);
    return picture;
}

fk::Picture cpuChip()
{
    static const fk::Picture picture = fk::pictureFromXpm(::cpu);
    return picture;
}

fk::Picture videoCard()
{
    static const fk::Picture picture = fk::pictureFromXpm(::videocard);
    return picture;
}

fk::Picture memoryChip()
{
    static const fk::Picture picture = fk::pictureFromXpm(::memory);
    return picture;
}

fk::Picture exitDoor()
{
    static const fk::Picture picture = fk::pictureFromXpm(::exitdoor);
    return picture;
}

} // namespace corvane::art
