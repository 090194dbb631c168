// Sixteen-colour bitmaps and icon images, as resources carry them.
#include "harness.h"
#include "com/bitmap_resource.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const QByteArrayView input = inputOf(data, size);
    for (const auto& decoded : {fk::com::decodeBitmap(input, &error), fk::com::decodeIconImage(input, &error)})
        if (decoded)
            require(decoded->image.width() == decoded->width && decoded->image.height() == decoded->height,
                    "the image has the size the header gives");
    return 0;
}
