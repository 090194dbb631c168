// The resource table of a built file, as tools read it without loading the file: the ELF
// section that holds it, then the table.
#include "harness.h"
#include "com/resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const QByteArrayView input = inputOf(data, size);
    const auto section = fk::com::elfSection(input, fk::com::ResourceTable::kSectionName, QStringLiteral("input"), &error);
    const auto table = fk::com::ResourceTable::parse(section ? QByteArrayView(*section) : input, &error);
    require(table || !error.isEmpty(), "a refused table says why");
    if (table) {
        // What the table reads is what it writes back.
        const auto again = fk::com::ResourceTable::parse(table->serialize(), &error);
        require(again && again->resources().size() == table->resources().size(), "a table read back whole");
    }
    return 0;
}
