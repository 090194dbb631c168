#pragma once

#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace fk::com {

// A file in the executable and linkable format, read from its bytes without loading it:
// its header, its sections by name and the functions its dynamic symbol table exports.
// The bytes may come from anyone, so every offset and size the file states is checked
// against the bytes there are before it is followed. The image only views the bytes, which
// must outlive it.
class ElfImage {
public:
    // Takes the bytes when they are a 64-bit little-endian file whose section table and
    // section names lie inside them; path names the file in the reasons.
    static std::optional<ElfImage> read(QByteArrayView bytes, const QString& path, QString* error);

    // The processor the file is built for (EM_...) and its kind (ET_...).
    std::uint16_t machine() const { return machine_; }
    std::uint16_t fileType() const { return fileType_; }

    // The index of the first section of that name; nothing when the file has none.
    std::optional<std::size_t> sectionIndex(const char* name) const;
    // The bytes of a section by index; a reason when the file has no such section or its
    // bytes lie outside the file.
    std::optional<QByteArrayView> sectionBytes(std::size_t index, QString* error) const;

    // The names of the functions the dynamic symbol table defines for other code to look up
    // (global or weak, and visible); none for a file without that table.
    std::optional<std::set<std::string>> exportedFunctions(QString* error) const;

private:
    ElfImage(QByteArrayView bytes, QString path) : bytes_(bytes), path_(std::move(path)) {}

    std::optional<std::size_t> sectionIndexOfType(std::uint32_t type) const;

    QByteArrayView bytes_;
    QString path_;
    std::uint16_t machine_ = 0;
    std::uint16_t fileType_ = 0;
    std::uint64_t sectionTable_ = 0;
    std::size_t sectionCount_ = 0;
    QByteArrayView sectionNames_;
};

} // namespace fk::com
