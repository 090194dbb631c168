// The registry store as another program may have left it: read whole, then asked for a
// class by ProgID and by identity, as activation asks.
#include "harness.h"
#include "com/registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // In memory where the machine offers it: a disk shared with other work can stall a
    // write for seconds, which would pass for a slow reader.
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fuzz-registry-XXXXXX")
                                                                            : QDir::tempPath() + QStringLiteral("/fuzz-registry-XXXXXX"));
    static const QString path = folder.path() + QStringLiteral("/registry.json");
    {
        // A new file each time: cutting a file short and writing it again makes some file
        // systems flush it to the disk at once.
        QFile::remove(path);
        QFile file(path);
        require(file.open(QIODevice::WriteOnly), "the store can be written");
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    const fk::com::Registry registry(path);
    QString error;
    const auto store = registry.read(&error);
    require(store || !error.isEmpty(), "a refused store says why");
    constexpr fk::com::Guid button = fk::com::guid("{8DDE02C5-207C-4592-8B6F-0F84159237E0}");
    for (const auto& entry : {registry.findProgId(QStringLiteral("Lumakey.btn"), &error), registry.findClass(button, &error)})
        if (entry)
            require(!entry->libraryPath.isEmpty(), "a class found names its library");
    return 0;
}
