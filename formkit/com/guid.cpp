#include "com/guid.h"

namespace fk::com {

QString Guid::toString() const
{
    QString text = QStringLiteral("{%1-%2-%3-").arg(data1, 8, 16, QLatin1Char('0')).arg(data2, 4, 16, QLatin1Char('0')).arg(data3, 4, 16, QLatin1Char('0'));
    for (std::size_t i = 0; i < 8; ++i) {
        if (i == 2)
            text += QLatin1Char('-');
        text += QStringLiteral("%1").arg(data4[i], 2, 16, QLatin1Char('0'));
    }
    return (text + QLatin1Char('}')).toUpper();
}

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

std::optional<Guid> parseGuid(const QString& text) { return Guid::parse(text.toStdString()); }

} // namespace fk::com
