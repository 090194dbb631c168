// Icon groups: the directory of a program's icon images.
#include "harness.h"
#include "formats/bitmap_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto entries = formats::decodeIconGroup(inputOf(data, size), &error);
    require(entries || !error.isEmpty(), "a refused group says why");
    if (entries)
        require(formats::decodeIconGroup(formats::encodeIconGroup(*entries), &error).has_value(), "a group read back");
    return 0;
}
