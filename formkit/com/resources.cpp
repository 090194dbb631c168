#include "com/resources.h"

#include "com/failure.h"
#include "com/little_endian.h"

#include <QFile>
#include <QtEndian>
#include <cstring>
#include <elf.h>

namespace fk::com {

namespace {

using namespace little_endian;

constexpr char kMagic[4] = {'F', 'K', 'R', 'S'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderSize = 12;
constexpr std::size_t kEntrySize = 20;

} // namespace

std::optional<ResourceTable> ResourceTable::parse(QByteArrayView bytes, QString* error)
{
    const auto size = static_cast<std::size_t>(bytes.size());
    if (size < kHeaderSize || std::memcmp(bytes.data(), kMagic, 4) != 0) {
        return fail(error, QStringLiteral("not a resource table"));
    }
    if (readU32(bytes, 4) != kVersion) {
        return fail(error, QStringLiteral("resource table of an unknown version"));
    }
    const std::uint64_t count = readU32(bytes, 8);
    if (count > (size - kHeaderSize) / kEntrySize) {
        return fail(error, QStringLiteral("resource table is cut short"));
    }
    std::vector<Resource> resources;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = kHeaderSize + i * kEntrySize;
        const std::uint64_t typeOffset = readU32(bytes, at);
        const std::uint64_t dataOffset = readU32(bytes, at + 12);
        const std::uint64_t dataSize = readU32(bytes, at + 16);
        if (typeOffset >= size || dataOffset > size || dataSize > size - dataOffset) {
            return fail(error, QStringLiteral("resource %1 lies outside the table").arg(i));
        }
        const char* type = bytes.data() + typeOffset;
        const std::size_t typeLength = ::strnlen(type, size - typeOffset);
        if (typeLength == size - typeOffset) {
            return fail(error, QStringLiteral("resource %1 has an unterminated type").arg(i));
        }
        resources.push_back({QString::fromUtf8(type, static_cast<qsizetype>(typeLength)), readU32(bytes, at + 4),
                             readU32(bytes, at + 8),
                             QByteArray(bytes.data() + dataOffset, static_cast<qsizetype>(dataSize))});
    }
    return ResourceTable(std::move(resources));
}

QByteArray ResourceTable::serialize() const
{
    QByteArray names, data;
    const std::size_t namesStart = kHeaderSize + resources_.size() * kEntrySize;
    std::vector<std::uint32_t> typeOffsets;
    for (const Resource& r : resources_) {
        typeOffsets.push_back(static_cast<std::uint32_t>(namesStart + static_cast<std::size_t>(names.size())));
        names += r.type.toUtf8();
        names += '\0';
    }
    while (names.size() % 8)
        names += '\0';
    const std::size_t dataStart = namesStart + static_cast<std::size_t>(names.size());

    QByteArray out(kMagic, 4);
    appendU32(out, kVersion);
    appendU32(out, static_cast<std::uint32_t>(resources_.size()));
    for (std::size_t i = 0; i < resources_.size(); ++i) {
        const Resource& r = resources_[i];
        appendU32(out, typeOffsets[i]);
        appendU32(out, r.id);
        appendU32(out, r.language);
        appendU32(out, static_cast<std::uint32_t>(dataStart + static_cast<std::size_t>(data.size())));
        appendU32(out, static_cast<std::uint32_t>(r.data.size()));
        data += r.data;
        while (data.size() % 4)
            data += '\0';
    }
    return out + names + data;
}

const Resource* ResourceTable::find(const QString& type, std::uint32_t id) const
{
    for (const Resource& r : resources_)
        if (r.type == type && r.id == id)
            return &r;
    return nullptr;
}

std::optional<ResourceTable> ResourceTable::readFromFile(const QString& path, QString* error)
{
    const auto section = readElfSection(path, kSectionName, error);
    if (!section)
        return std::nullopt;
    return parse(*section, error);
}

std::optional<QByteArray> readElfSection(const QString& path, const char* section, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return fail(error, QStringLiteral("cannot open '%1': %2").arg(path, file.errorString()));
    }
    return elfSection(file.readAll(), section, path, error);
}

std::optional<QByteArray> elfSection(QByteArrayView bytes, const char* section, const QString& path, QString* error)
{
    const auto size = static_cast<std::size_t>(bytes.size());
    Elf64_Ehdr header;
    if (size < sizeof header || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0
        || bytes[EI_CLASS] != ELFCLASS64 || bytes[EI_DATA] != ELFDATA2LSB) {
        return fail(error, QStringLiteral("'%1' is not a 64-bit little-endian ELF file").arg(path));
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    // Compared without adding to the offset, which a damaged file can make wrap around.
    const bool tableInside = header.e_shoff <= size && header.e_shnum <= (size - header.e_shoff) / sizeof(Elf64_Shdr);
    if (header.e_shentsize != sizeof(Elf64_Shdr) || !tableInside || header.e_shstrndx >= header.e_shnum) {
        return fail(error, QStringLiteral("'%1' has a damaged section table").arg(path));
    }
    auto sectionHeader = [&](std::size_t index) {
        Elf64_Shdr s;
        std::memcpy(&s, bytes.data() + header.e_shoff + index * sizeof(Elf64_Shdr), sizeof s);
        return s;
    };
    const Elf64_Shdr names = sectionHeader(header.e_shstrndx);
    if (names.sh_offset > size || names.sh_size > size - names.sh_offset) {
        return fail(error, QStringLiteral("'%1' has a damaged section table").arg(path));
    }
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr s = sectionHeader(i);
        if (s.sh_name >= names.sh_size)
            continue;
        const char* name = bytes.data() + names.sh_offset + s.sh_name;
        if (::strnlen(name, names.sh_size - s.sh_name) == names.sh_size - s.sh_name || std::strcmp(name, section) != 0)
            continue;
        if (s.sh_type == SHT_NOBITS || s.sh_offset > size || s.sh_size > size - s.sh_offset) {
            return fail(error, QStringLiteral("section %1 of '%2' lies outside the file").arg(QLatin1String(section), path));
        }
        return bytes.sliced(static_cast<qsizetype>(s.sh_offset), static_cast<qsizetype>(s.sh_size)).toByteArray();
    }
    return fail(error, QStringLiteral("'%1' carries no resources").arg(path));
}

} // namespace fk::com
