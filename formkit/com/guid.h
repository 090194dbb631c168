#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace fk::com {

// A 128-bit identity, laid out as the standard binary GUID: a 32-bit, two 16-bit fields
// (each stored little-endian when serialised) and eight single bytes.
struct Guid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::array<std::uint8_t, 8> data4{};

    friend constexpr bool operator==(const Guid&, const Guid&) = default;

    // Parses "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (braces optional) at compile time, for
    // the identities written in the sources (see guid() below); text read at run time goes
    // through parseGuid.
    static constexpr std::optional<Guid> parse(std::string_view text);
    // The braced, upper-case form.
    QString toString() const;
    // The sixteen bytes of the standard binary layout.
    std::array<std::uint8_t, 16> toBytes() const;
    static Guid fromBytes(const std::uint8_t* bytes);
    bool isNull() const { return *this == Guid{}; }
};

// Reads an identity from text, braced or bare; nothing when the text is no identity.
std::optional<Guid> parseGuid(const QString& text);

constexpr std::optional<Guid> Guid::parse(std::string_view text)
{
    if (text.size() == 38 && text.front() == '{' && text.back() == '}')
        text = text.substr(1, 36);
    if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
        return std::nullopt;
    auto hex = [&](std::size_t pos, std::size_t count) -> std::optional<std::uint64_t> {
        std::uint64_t value = 0;
        for (std::size_t i = pos; i < pos + count; ++i) {
            const char c = text[i];
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0)
                return std::nullopt;
            value = value * 16 + static_cast<std::uint64_t>(digit);
        }
        return value;
    };
    Guid g;
    const auto d1 = hex(0, 8), d2 = hex(9, 4), d3 = hex(14, 4);
    if (!d1 || !d2 || !d3)
        return std::nullopt;
    g.data1 = static_cast<std::uint32_t>(*d1);
    g.data2 = static_cast<std::uint16_t>(*d2);
    g.data3 = static_cast<std::uint16_t>(*d3);
    constexpr std::size_t bytePositions[8] = {19, 21, 24, 26, 28, 30, 32, 34};
    for (std::size_t i = 0; i < 8; ++i) {
        const auto b = hex(bytePositions[i], 2);
        if (!b)
            return std::nullopt;
        g.data4[i] = static_cast<std::uint8_t>(*b);
    }
    return g;
}

// An identity written in the sources; a malformed one does not compile.
consteval Guid guid(const char* text)
{
    std::size_t length = 0;
    while (text[length])
        ++length;
    const auto parsed = Guid::parse(std::string_view(text, length));
    if (!parsed)
        throw "malformed identity";
    return *parsed;
}

} // namespace fk::com
