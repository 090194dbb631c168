// Icon groups: the directory of a program's icon images.
#include "harness.h"
#include "com/bitmap_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto entries = fk::com::decodeIconGroup(inputOf(data, size), &error);
    require(entries || !error.isEmpty(), "a refused group says why");
    if (entries)
        require(fk::com::decodeIconGroup(fk::com::encodeIconGroup(*entries), &error).has_value(), "a group read back");
    return 0;
}
