// A program's manifest, and the library paths it names.
#include "harness.h"
#include "com/manifest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QString error;
    const auto manifest = fk::com::Manifest::parse(inputOf(data, size).toByteArray(), &error);
    require(manifest || !error.isEmpty(), "a refused manifest says why");
    if (!manifest)
        return 0;
    for (const fk::com::ManifestClass& c : manifest->classes()) {
        require(manifest->findClass(c.clsid) != nullptr, "each class is found by its identity");
        if (const auto path = fk::com::Manifest::libraryPath(QStringLiteral("/opt/program"), c.libraryFile))
            require(path->startsWith(QStringLiteral("/opt/program/")), "a library lies inside the program's folder");
    }
    return 0;
}
