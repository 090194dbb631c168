#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QtEndian>
#include <cstdint>

// The resource formats store every number little-endian. Callers check bounds before they
// read.
namespace fk::com::little_endian {

inline void appendU16(QByteArray& out, std::uint32_t value)
{
    char buffer[2];
    qToLittleEndian(static_cast<std::uint16_t>(value), buffer);
    out.append(buffer, 2);
}

inline void appendU32(QByteArray& out, std::uint32_t value)
{
    char buffer[4];
    qToLittleEndian(value, buffer);
    out.append(buffer, 4);
}

inline std::uint16_t readU16(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint16_t>(bytes.data() + at);
}

inline std::uint32_t readU32(QByteArrayView bytes, qsizetype at)
{
    return qFromLittleEndian<std::uint32_t>(bytes.data() + at);
}

} // namespace fk::com::little_endian
