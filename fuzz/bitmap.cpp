// Sixteen-colour bitmaps and icon images, as resources carry them.
#include "harness.h"
#include "formats/bitmap_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const QByteArrayView input = inputOf(data, size);
    for (const auto& decoded : {formats::decodeBitmap(input, &error), formats::decodeIconImage(input, &error)})
        if (decoded)
            require(decoded->image.width() == decoded->width && decoded->image.height() == decoded->height,
                    "the image has the size the header gives");
    return 0;
}
