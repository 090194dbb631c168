#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace formats {

// Pictures as resources: sixteen-colour device-independent bitmaps, icon images and icon
// groups, in the standard binary layouts of the platform family whose resources ours follow.
//
// A bitmap resource is a 40-byte information header (size 40, width, height > 0 so that
// rows run bottom-up, 1 plane, 4 bits per pixel, no compression, image size, two zero
// resolutions, 16 colours used, 0 important), the sixteen palette entries as blue, green,
// red, 0, then the rows, each padded to 32 bits, the left pixel in the high nibble. There
// is no file header in front.
//
// An icon image is the same, with the height doubled in the header because the colour
// rows are followed by a one-bit mask (1 = transparent; rows bottom-up, padded to 32 bits).
// Transparent pixels have colour index 0.
//
// An icon group is a directory: u16 0, u16 1 (icons), u16 count, then per image
// u8 width, u8 height, u8 colours (16), u8 0, u16 planes (1), u16 bits per pixel (4),
// u32 size of the image resource, u16 id of the ICON resource that holds it.
// All numbers are little-endian.

// The palette index of a colour, or nothing when the colour is not one of the sixteen.
std::optional<int> vgaIndexOf(QRgb color);

// A sixteen-colour bitmap resource from an image; fails (saying why) when the image has
// transparent pixels or colours outside the palette.
std::optional<QByteArray> encodeBitmap16(const QImage& image, QString* error);

// A sixteen-colour icon image from an image whose pixels are palette colours or fully
// transparent; at most 256 x 256.
std::optional<QByteArray> encodeIconImage16(const QImage& image, QString* error);

struct IconGroupEntry {
    int width = 0;
    int height = 0;
    int colorCount = 0;
    int planes = 0;
    int bitCount = 0;
    std::uint32_t bytes = 0;
    std::uint16_t iconId = 0;
};

QByteArray encodeIconGroup(const std::vector<IconGroupEntry>& entries);
std::optional<std::vector<IconGroupEntry>> decodeIconGroup(QByteArrayView data, QString* error);

// What a bitmap or icon-image resource holds, read back into an image (transparent pixels
// of an icon come out with alpha 0). Reads palette bitmaps of 1, 4 and 8 bits per pixel.
struct DecodedBitmap {
    int width = 0;
    int height = 0;     // of the picture, not the doubled height of an icon's header
    int bitCount = 0;
    int paletteSize = 0;
    QImage image;
};

std::optional<DecodedBitmap> decodeBitmap(QByteArrayView data, QString* error);
std::optional<DecodedBitmap> decodeIconImage(QByteArrayView data, QString* error);

} // namespace formats
