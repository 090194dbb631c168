#include "com/resources.h"

#include "com/built_file.h"
#include "com/elf_image.h"
#include "com/failure.h"
#include "com/little_endian.h"

#include <QtEndian>
#include <cstring>

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
    const auto bytes = readBuiltFile(path, error);
    if (!bytes)
        return std::nullopt;
    return elfSection(*bytes, section, path, error);
}

std::optional<QByteArray> elfSection(QByteArrayView bytes, const char* section, const QString& path, QString* error)
{
    const auto image = ElfImage::read(bytes, path, error);
    if (!image)
        return std::nullopt;
    const auto index = image->sectionIndex(section);
    if (!index)
        return fail(error, QStringLiteral("'%1' carries no resources").arg(path));
    const auto data = image->sectionBytes(*index, error);
    if (!data)
        return std::nullopt;
    return data->toByteArray();
}

} // namespace fk::com
