#include "com/guid.h"

#include <QUuid>
#include <algorithm>

namespace fk::com {

namespace {

QUuid toUuid(const Guid& g)
{
    return QUuid(g.data1, g.data2, g.data3, g.data4[0], g.data4[1], g.data4[2], g.data4[3], g.data4[4], g.data4[5],
                 g.data4[6], g.data4[7]);
}

} // namespace

QString Guid::toString() const { return toUuid(*this).toString(QUuid::WithBraces).toUpper(); }

std::array<std::uint8_t, 16> Guid::toBytes() const
{
    std::array<std::uint8_t, 16> bytes{};
    for (int i = 0; i < 4; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(data1 >> (8 * i));
    for (int i = 0; i < 2; ++i) {
        bytes[static_cast<std::size_t>(4 + i)] = static_cast<std::uint8_t>(data2 >> (8 * i));
        bytes[static_cast<std::size_t>(6 + i)] = static_cast<std::uint8_t>(data3 >> (8 * i));
    }
    for (std::size_t i = 0; i < 8; ++i)
        bytes[8 + i] = data4[i];
    return bytes;
}

Guid Guid::fromBytes(const std::uint8_t* bytes)
{
    Guid g;
    g.data1 = static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8
              | static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    g.data2 = static_cast<std::uint16_t>(bytes[4] | bytes[5] << 8);
    g.data3 = static_cast<std::uint16_t>(bytes[6] | bytes[7] << 8);
    for (std::size_t i = 0; i < 8; ++i)
        g.data4[i] = bytes[8 + i];
    return g;
}

std::optional<Guid> parseGuid(const QString& text)
{
    // QUuid reads the braced form and the bare one alike, and answers the null identity for
    // anything else; only the null identity's own text may read as null.
    const QUuid uuid = QUuid::fromString(text);
    const QUuid null;
    if (uuid.isNull() && text != null.toString(QUuid::WithBraces) && text != null.toString(QUuid::WithoutBraces))
        return std::nullopt;
    Guid g{uuid.data1, uuid.data2, uuid.data3, {}};
    std::copy(std::begin(uuid.data4), std::end(uuid.data4), g.data4.begin());
    return g;
}

} // namespace fk::com
