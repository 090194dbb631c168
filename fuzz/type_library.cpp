// Type libraries in formkit's binary form, and the lookups tools make in them.
#include "harness.h"
#include "formats/type_library.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto library = formats::TypeLibrary::parse(inputOf(data, size), &error);
    require(library || !error.isEmpty(), "a refused library says why");
    if (!library)
        return 0;
    for (const formats::TypeLibrary::Class& c : library->classes) {
        require(library->findClass(c.clsid) != nullptr, "each class is found by its identity");
        (void)library->interfaceAt(c.defaultInterface);
        (void)library->interfaceAt(c.eventInterface);
    }
    for (const formats::TypeLibrary::Interface& i : library->interfaces)
        require(library->findInterface(i.iid) != nullptr, "each interface is found by its identity");
    return 0;
}
