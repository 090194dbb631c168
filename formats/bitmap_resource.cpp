#include "formats/bitmap_resource.h"

#include "core/color.h"

#include "com/failure.h"
#include "com/little_endian.h"

#include <QtEndian>
#include <algorithm>

namespace formats {

using fk::com::fail;

namespace {

using namespace fk::com::little_endian;

constexpr int kInfoHeaderSize = 40;
constexpr int kPaletteSize = 16;
constexpr int kGroupHeaderSize = 6;
constexpr int kGroupEntrySize = 14;




int strideOf(int width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

void appendInfoHeader(QByteArray& out, int width, int headerHeight, std::uint32_t imageSize)
{
    appendU32(out, kInfoHeaderSize);
    appendU32(out, static_cast<std::uint32_t>(width));
    appendU32(out, static_cast<std::uint32_t>(headerHeight));
    appendU16(out, 1);  // planes
    appendU16(out, 4);  // bits per pixel
    appendU32(out, 0);  // no compression
    appendU32(out, imageSize);
    appendU32(out, 0);  // horizontal resolution
    appendU32(out, 0);  // vertical resolution
    appendU32(out, kPaletteSize);
    appendU32(out, 0);  // every colour is important
}

void appendPalette(QByteArray& out)
{
    for (std::uint32_t rgb : fk::kSixteenColours) {  // as 0xRRGGBB: the bitmap order
        out.append(static_cast<char>(rgb & 0xFF));
        out.append(static_cast<char>((rgb >> 8) & 0xFF));
        out.append(static_cast<char>((rgb >> 16) & 0xFF));
        out.append('\0');
    }
}

// The palette indices of an image's pixels, row by row from the top; -1 for a transparent
// pixel, which only icons may have.
std::optional<std::vector<int>> paletteIndices(const QImage& source, bool allowTransparent, QString* error)
{
    if (source.isNull())
        return fail(error, QStringLiteral("the picture is empty"));
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    std::vector<int> indices;
    indices.reserve(static_cast<std::size_t>(image.width() * image.height()));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (qAlpha(pixel) == 0 && allowTransparent) {
                indices.push_back(-1);
                continue;
            }
            if (qAlpha(pixel) != 255)
                return fail(
                    error, QStringLiteral("pixel (%1, %2) is transparent, which a bitmap cannot be").arg(x).arg(y));
            const auto index = vgaIndexOf(pixel);
            if (!index)
                return fail(
                    error, QStringLiteral("pixel (%1, %2) has colour #%3, which is not one of the sixteen standard colours")
                               .arg(x)
                               .arg(y)
                               .arg(pixel & 0xFFFFFF, 6, 16, QLatin1Char('0')));
            indices.push_back(*index);
        }
    }
    return indices;
}

QByteArray colourRows(const std::vector<int>& indices, int width, int height)
{
    const int stride = strideOf(width, 4);
    QByteArray rows(stride * height, '\0');
    for (int y = 0; y < height; ++y) {
        char* row = rows.data() + (height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const int index = std::max(indices[static_cast<std::size_t>(y * width + x)], 0);
            const int shift = (x % 2 == 0) ? 4 : 0;
            row[x / 2] = static_cast<char>(static_cast<unsigned char>(row[x / 2]) | (index << shift));
        }
    }
    return rows;
}

struct Header {
    int width;
    int headerHeight;
    int bitCount;
    int paletteSize;
    qsizetype pixelsAt;
};

std::optional<Header> readHeader(QByteArrayView data, QString* error)
{
    if (data.size() < kInfoHeaderSize)
        return fail(error, QStringLiteral("the bitmap is shorter than its header"));
    if (readU32(data, 0) != kInfoHeaderSize)
        return fail(error, QStringLiteral("the bitmap header has size %1, not 40").arg(readU32(data, 0)));
    const auto width = static_cast<std::int32_t>(readU32(data, 4));
    const auto height = static_cast<std::int32_t>(readU32(data, 8));
    const int planes = readU16(data, 12);
    const int bitCount = readU16(data, 14);
    const std::uint32_t compression = readU32(data, 16);
    const std::uint32_t used = readU32(data, 32);
    if (width <= 0 || width > 4096 || height <= 0 || height > 8192)
        return fail(error, QStringLiteral("the bitmap has an unreadable size %1 x %2").arg(width).arg(height));
    if (planes != 1 || compression != 0 || (bitCount != 1 && bitCount != 4 && bitCount != 8))
        return fail(error, QStringLiteral("the bitmap is not an uncompressed palette bitmap"));
    const int maxColours = 1 << bitCount;
    if (used > static_cast<std::uint32_t>(maxColours))
        return fail(error, QStringLiteral("the bitmap names %1 palette colours").arg(used));
    const int paletteSize = used ? static_cast<int>(used) : maxColours;
    const qsizetype pixelsAt = kInfoHeaderSize + qsizetype(paletteSize) * 4;
    if (data.size() < pixelsAt)
        return fail(error, QStringLiteral("the bitmap's palette is cut short"));
    return Header{width, height, bitCount, paletteSize, pixelsAt};
}

int indexAt(const char* row, int x, int bitCount)
{
    const auto byte = static_cast<unsigned char>(row[x * bitCount / 8]);
    switch (bitCount) {
    case 1: return (byte >> (7 - x % 8)) & 1;
    case 4: return x % 2 == 0 ? byte >> 4 : byte & 0xF;
    default: return byte;
    }
}

std::optional<DecodedBitmap> decodePixels(QByteArrayView data, const Header& header, int height, bool withMask,
                                          QString* error)
{
    const int stride = strideOf(header.width, header.bitCount);
    const int maskStride = strideOf(header.width, 1);
    const qsizetype needed = header.pixelsAt + qsizetype(stride) * height + (withMask ? qsizetype(maskStride) * height : 0);
    if (data.size() < needed)
        return fail(error, QStringLiteral("the bitmap's pixels are cut short (%1 of %2 bytes)")
                                                  .arg(data.size())
                                                  .arg(needed));
    QImage image(header.width, height, QImage::Format_ARGB32);
    const char* pixels = data.data() + header.pixelsAt;
    const char* mask = pixels + qsizetype(stride) * height;
    for (int y = 0; y < height; ++y) {
        const char* row = pixels + qsizetype(height - 1 - y) * stride;
        const char* maskRow = mask + qsizetype(height - 1 - y) * maskStride;
        for (int x = 0; x < header.width; ++x) {
            const int index = indexAt(row, x, header.bitCount);
            if (index >= header.paletteSize)
                return fail(error, QStringLiteral("pixel (%1, %2) names colour %3 beyond the palette")
                                                          .arg(x)
                                                          .arg(y)
                                                          .arg(index));
            const char* entry = data.data() + kInfoHeaderSize + index * 4;
            QRgb colour = qRgb(static_cast<unsigned char>(entry[2]), static_cast<unsigned char>(entry[1]),
                               static_cast<unsigned char>(entry[0]));
            if (withMask && indexAt(maskRow, x, 1))
                colour = qRgba(qRed(colour), qGreen(colour), qBlue(colour), 0);
            image.setPixel(x, y, colour);
        }
    }
    return DecodedBitmap{header.width, height, header.bitCount, header.paletteSize, image};
}

} // namespace

std::optional<int> vgaIndexOf(QRgb color)
{
    const std::uint32_t rgb = color & 0xFFFFFF;
    for (std::size_t i = 0; i < fk::kSixteenColours.size(); ++i)
        if (fk::kSixteenColours[i] == rgb)
            return static_cast<int>(i);
    return std::nullopt;
}

std::optional<QByteArray> encodeBitmap16(const QImage& image, QString* error)
{
    const auto indices = paletteIndices(image, false, error);
    if (!indices)
        return std::nullopt;
    const QByteArray rows = colourRows(*indices, image.width(), image.height());
    QByteArray out;
    appendInfoHeader(out, image.width(), image.height(), static_cast<std::uint32_t>(rows.size()));
    appendPalette(out);
    return out + rows;
}

std::optional<QByteArray> encodeIconImage16(const QImage& image, QString* error)
{
    if (image.width() > 256 || image.height() > 256)
        return fail(error, QStringLiteral("an icon is at most 256 x 256 pixels"));
    const auto indices = paletteIndices(image, true, error);
    if (!indices)
        return std::nullopt;
    const int width = image.width();
    const int height = image.height();
    const QByteArray rows = colourRows(*indices, width, height);
    const int maskStride = strideOf(width, 1);
    QByteArray mask(maskStride * height, '\0');
    for (int y = 0; y < height; ++y) {
        char* row = mask.data() + (height - 1 - y) * maskStride;
        for (int x = 0; x < width; ++x)
            if ((*indices)[static_cast<std::size_t>(y * width + x)] < 0)
                row[x / 8] = static_cast<char>(static_cast<unsigned char>(row[x / 8]) | (0x80 >> (x % 8)));
    }
    QByteArray out;
    appendInfoHeader(out, width, 2 * height, static_cast<std::uint32_t>(rows.size() + mask.size()));
    appendPalette(out);
    return out + rows + mask;
}

QByteArray encodeIconGroup(const std::vector<IconGroupEntry>& entries)
{
    QByteArray out;
    appendU16(out, 0);
    appendU16(out, 1);
    appendU16(out, static_cast<std::uint32_t>(entries.size()));
    for (const IconGroupEntry& e : entries) {
        // A size of 256 is written as 0, as the layout has one byte for it.
        out.append(static_cast<char>(e.width & 0xFF));
        out.append(static_cast<char>(e.height & 0xFF));
        out.append(static_cast<char>(e.colorCount & 0xFF));
        out.append('\0');
        appendU16(out, static_cast<std::uint32_t>(e.planes));
        appendU16(out, static_cast<std::uint32_t>(e.bitCount));
        appendU32(out, e.bytes);
        appendU16(out, e.iconId);
    }
    return out;
}

std::optional<std::vector<IconGroupEntry>> decodeIconGroup(QByteArrayView data, QString* error)
{
    using Entries = std::vector<IconGroupEntry>;
    if (data.size() < kGroupHeaderSize || readU16(data, 0) != 0 || readU16(data, 2) != 1)
        return fail(error, QStringLiteral("not an icon group"));
    const int count = readU16(data, 4);
    if (data.size() != kGroupHeaderSize + qsizetype(count) * kGroupEntrySize)
        return fail(error, QStringLiteral("the icon group's size does not match its %1 entries").arg(count));
    Entries entries;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = kGroupHeaderSize + qsizetype(i) * kGroupEntrySize;
        const auto byte = [&](qsizetype offset) { return static_cast<int>(static_cast<unsigned char>(data[at + offset])); };
        IconGroupEntry e;
        e.width = byte(0) ? byte(0) : 256;
        e.height = byte(1) ? byte(1) : 256;
        e.colorCount = byte(2);
        e.planes = readU16(data, at + 4);
        e.bitCount = readU16(data, at + 6);
        e.bytes = readU32(data, at + 8);
        e.iconId = readU16(data, at + 12);
        entries.push_back(e);
    }
    return entries;
}

std::optional<DecodedBitmap> decodeBitmap(QByteArrayView data, QString* error)
{
    const auto header = readHeader(data, error);
    if (!header)
        return std::nullopt;
    return decodePixels(data, *header, header->headerHeight, false, error);
}

std::optional<DecodedBitmap> decodeIconImage(QByteArrayView data, QString* error)
{
    const auto header = readHeader(data, error);
    if (!header)
        return std::nullopt;
    if (header->headerHeight % 2)
        return fail(error, QStringLiteral("an icon image's header height must be even"));
    return decodePixels(data, *header, header->headerHeight / 2, true, error);
}

} // namespace formats
