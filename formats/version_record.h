#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

namespace formats {

// A file's version record (resource VERSION 1): a fixed part with the file and product
// versions and the file type, and text fields in one language and code page.
//
// Source form, one statement a line, '#' starts a comment outside quotes:
//
//   FILEVERSION     1.0.0.0
//   PRODUCTVERSION  1.0.0.0
//   FILETYPE        library          # or: program
//   LANGUAGE        0x0409
//   CODEPAGE        1200
//   STRING          ProductName "Lumakey"
//   STRING          OLESelfRegister ""
//
// FILEFLAGSMASK, FILEFLAGS and FILEOS may be given as numbers; they default to 0x3F, 0 and
// 4 (the 32-bit platform code). Strings keep the order they are written in.
//
// Binary form, the standard layout of the platform family whose resources ours follow. Every
// block is
//
//   u16 length (bytes, the block with its children, without padding after it)
//   u16 value length (bytes for binary values; UTF-16 units, terminator included, for text)
//   u16 type (0 binary, 1 text)
//   key: UTF-16, NUL-terminated, then padding to 32 bits
//   value, then padding to 32 bits
//   children, each starting on a 32-bit boundary
//
// and the record is the block "VS_VERSION_INFO" whose value is the 52-byte fixed part
// (signature 0xFEEF04BD, structure version 1.0, file version high and low words, product
// version high and low words, flags mask, flags, platform, file type, subtype, date high,
// date low) with two children: "StringFileInfo" holding one table keyed by language and
// code page as eight hex digits ("040904B0"), whose children are the strings, and
// "VarFileInfo" holding "Translation", a binary value of u16 language and u16 code page.
// All numbers are little-endian.
struct VersionRecord {
    static constexpr std::uint32_t kSignature = 0xFEEF04BD;
    static constexpr std::uint32_t kPlatform32Bit = 0x4;
    static constexpr std::uint32_t kTypeProgram = 1;
    static constexpr std::uint32_t kTypeLibrary = 2;

    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::uint32_t fileFlagsMask = 0x3F;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOS = kPlatform32Bit;
    std::uint32_t fileType = 0;
    std::uint32_t fileSubtype = 0;
    std::uint16_t language = 0x0409;
    std::uint16_t codePage = 1200;
    std::vector<std::pair<QString, QString>> strings;

    // Reads the source form; on a mistake returns nothing and says where in *error.
    static std::optional<VersionRecord> parseSource(const QByteArray& text, QString* error);
    // Reads the binary form; nothing when the bytes are not a whole, well-formed record.
    static std::optional<VersionRecord> fromBinary(QByteArrayView bytes, QString* error);
    QByteArray toBinary() const;

    // A text field by name, or nothing when the record has no such field.
    std::optional<QString> string(const QString& key) const;

    static QString versionText(const std::array<std::uint16_t, 4>& version);
};

} // namespace formats
