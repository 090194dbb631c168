#include "com/elf_image.h"

#include "com/failure.h"

#include <cstring>
#include <elf.h>

namespace fk::com {

namespace {

template <class T> T recordAt(QByteArrayView bytes, std::uint64_t offset)
{
    T record;
    std::memcpy(&record, bytes.data() + offset, sizeof record);
    return record;
}

// Whether count records of a size, from offset on, lie inside size bytes; compared without
// adding to the offset, which a damaged file can make wrap around.
bool recordsInside(std::uint64_t offset, std::uint64_t count, std::uint64_t recordSize, std::uint64_t size)
{
    return offset <= size && count <= (size - offset) / recordSize;
}

// The NUL-terminated name at offset in a table of names; nothing when it runs off the table.
std::optional<std::string_view> nameAt(QByteArrayView names, std::uint64_t offset)
{
    const auto size = static_cast<std::uint64_t>(names.size());
    if (offset >= size)
        return std::nullopt;
    const char* name = names.data() + offset;
    const std::size_t length = ::strnlen(name, size - offset);
    if (length == size - offset)
        return std::nullopt;
    return std::string_view(name, length);
}

Elf64_Shdr sectionHeaderAt(QByteArrayView bytes, std::uint64_t table, std::size_t index)
{
    return recordAt<Elf64_Shdr>(bytes, table + index * sizeof(Elf64_Shdr));
}

} // namespace

std::optional<ElfImage> ElfImage::read(QByteArrayView bytes, const QString& path, QString* error)
{
    const auto size = static_cast<std::uint64_t>(bytes.size());
    if (size < sizeof(Elf64_Ehdr) || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0 || bytes[EI_CLASS] != ELFCLASS64
        || bytes[EI_DATA] != ELFDATA2LSB)
        return fail(error, QStringLiteral("'%1' is not a 64-bit little-endian ELF file").arg(path));
    const auto header = recordAt<Elf64_Ehdr>(bytes, 0);
    if (header.e_shentsize != sizeof(Elf64_Shdr) || !recordsInside(header.e_shoff, header.e_shnum, sizeof(Elf64_Shdr), size)
        || header.e_shstrndx >= header.e_shnum)
        return fail(error, QStringLiteral("'%1' has a damaged section table").arg(path));
    const Elf64_Shdr names = sectionHeaderAt(bytes, header.e_shoff, header.e_shstrndx);
    if (!recordsInside(names.sh_offset, names.sh_size, 1, size))
        return fail(error, QStringLiteral("'%1' has a damaged section table").arg(path));

    ElfImage image(bytes, path);
    image.machine_ = header.e_machine;
    image.fileType_ = header.e_type;
    image.sectionTable_ = header.e_shoff;
    image.sectionCount_ = header.e_shnum;
    image.sectionNames_ = bytes.sliced(static_cast<qsizetype>(names.sh_offset), static_cast<qsizetype>(names.sh_size));
    return image;
}

std::optional<std::set<std::string>> ElfImage::exportedFunctions(QString* error) const
{
    std::set<std::string> functions;
    const auto symbolIndex = sectionIndexOfType(SHT_DYNSYM);
    if (!symbolIndex)
        return functions;
    const auto symbols = sectionBytes(*symbolIndex, error);
    if (!symbols)
        return std::nullopt;
    // The symbols' names are in the section the table links to.
    const auto names = sectionBytes(sectionHeaderAt(bytes_, sectionTable_, *symbolIndex).sh_link, error);
    if (!names)
        return std::nullopt;
    for (std::uint64_t at = 0; at + sizeof(Elf64_Sym) <= static_cast<std::uint64_t>(symbols->size()); at += sizeof(Elf64_Sym)) {
        const auto symbol = recordAt<Elf64_Sym>(*symbols, at);
        const unsigned binding = ELF64_ST_BIND(symbol.st_info);
        const unsigned type = ELF64_ST_TYPE(symbol.st_info);
        const unsigned visibility = ELF64_ST_VISIBILITY(symbol.st_other);
        if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK) || type != STT_FUNC
            || (visibility != STV_DEFAULT && visibility != STV_PROTECTED))
            continue;
        const auto name = nameAt(*names, symbol.st_name);
        if (!name)
            return fail(error, QStringLiteral("a dynamic symbol of '%1' has its name outside the file's names").arg(path_));
        functions.emplace(*name);
    }
    return functions;
}

std::optional<std::size_t> ElfImage::sectionIndex(const char* name) const
{
    for (std::size_t i = 0; i < sectionCount_; ++i)
        if (nameAt(sectionNames_, sectionHeaderAt(bytes_, sectionTable_, i).sh_name) == name)
            return i;
    return std::nullopt;
}

std::optional<std::size_t> ElfImage::sectionIndexOfType(std::uint32_t type) const
{
    for (std::size_t i = 0; i < sectionCount_; ++i)
        if (sectionHeaderAt(bytes_, sectionTable_, i).sh_type == type)
            return i;
    return std::nullopt;
}

std::optional<QByteArrayView> ElfImage::sectionBytes(std::size_t index, QString* error) const
{
    if (index >= sectionCount_)
        return fail(error, QStringLiteral("'%1' has no section %2").arg(path_).arg(index));
    const Elf64_Shdr header = sectionHeaderAt(bytes_, sectionTable_, index);
    if (header.sh_type == SHT_NOBITS || !recordsInside(header.sh_offset, header.sh_size, 1, static_cast<std::uint64_t>(bytes_.size()))) {
        const auto name = nameAt(sectionNames_, header.sh_name);
        return fail(error, QStringLiteral("section %1 of '%2' lies outside the file")
                               .arg(name ? QString::fromUtf8(name->data(), static_cast<qsizetype>(name->size())) : QString::number(index), path_));
    }
    return bytes_.sliced(static_cast<qsizetype>(header.sh_offset), static_cast<qsizetype>(header.sh_size));
}

} // namespace fk::com
