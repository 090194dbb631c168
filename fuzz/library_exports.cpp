// What the library loader reads of a file before it loads it, from bytes anyone may have put
// where a library is registered: the header of the executable format and the functions its
// dynamic symbol table exports.
#include "harness.h"
#include "com/elf_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto image = fk::com::ElfImage::read(inputOf(data, size), QStringLiteral("input"), &error);
    require(image || !error.isEmpty(), "a refused file says why");
    if (image) {
        error.clear();
        const auto exported = image->exportedFunctions(&error);
        require(exported || !error.isEmpty(), "a refused symbol table says why");
    }
    return 0;
}
