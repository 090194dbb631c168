#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace fk::com {

// Resources travel inside the built files, in a section of their own ("fkres"), so that
// tools can read them from the file without running it. The section holds one table:
//
//   "FKRS" u32 version(1) u32 count
//   count entries of: u32 typeOffset u32 id u32 language u32 dataOffset u32 dataSize
//   then the type names (NUL-terminated) and the data.
//
// All numbers are little-endian; offsets count from the start of the table.
struct Resource {
    QString type;
    std::uint32_t id = 0;
    std::uint32_t language = 0;
    QByteArray data;
};

class ResourceTable {
public:
    static constexpr const char* kSectionName = "fkres";

    ResourceTable() = default;
    explicit ResourceTable(std::vector<Resource> resources) : resources_(std::move(resources)) {}

    // Reads a table; nothing when the bytes are not a whole, well-formed table.
    static std::optional<ResourceTable> parse(QByteArrayView bytes, QString* error = nullptr);
    // Reads the table from a built file without loading it.
    static std::optional<ResourceTable> readFromFile(const QString& path, QString* error);

    QByteArray serialize() const;

    const std::vector<Resource>& resources() const { return resources_; }
    const Resource* find(const QString& type, std::uint32_t id) const;

private:
    std::vector<Resource> resources_;
};

// The section of a file in the executable format, by name; nothing when the file is not
// such a file or has no such section.
std::optional<QByteArray> readElfSection(const QString& path, const char* section, QString* error);
// The same, from the file's bytes; path names the file in error messages.
std::optional<QByteArray> elfSection(QByteArrayView bytes, const char* section, const QString& path, QString* error);

} // namespace fk::com

// Every module that carries resources defines its own table (the resource compiler writes
// it); each module sees only its own. A module without resources leaves the weak names
// unresolved, and its table reads as empty.
extern "C" {
__attribute__((weak, visibility("hidden"))) extern const unsigned char fk_module_resources[];
__attribute__((weak, visibility("hidden"))) extern const unsigned int fk_module_resources_size;
}

namespace fk::com {
inline QByteArrayView moduleResources()
{
    if (&fk_module_resources_size == nullptr)
        return {};
    return QByteArrayView(reinterpret_cast<const char*>(fk_module_resources),
                          static_cast<qsizetype>(fk_module_resources_size));
}
} // namespace fk::com
