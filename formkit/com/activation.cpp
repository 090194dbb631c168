#include "com/activation.h"

#include "com/class_factory.h"
#include "com/library_file.h"
#include "com/manifest.h"
#include "com/registry.h"
#include "core/logging.h"
#include "core/runtime_error.h"

#include <optional>

namespace fk::com {

namespace {

struct ProgramManifest {
    QByteArray text;
    QString programDir;
};

ProgramManifest& programManifest()
{
    static ProgramManifest manifest;
    return manifest;
}

// Where a class lives: its identity and the absolute path of its library.
struct ClassLocation {
    Guid clsid;
    QString libraryPath;
    QString source; // who named the library, for error messages
};

std::optional<ClassLocation> findInManifest(const QString& name, const std::optional<Guid>& clsid)
{
    const ProgramManifest& program = programManifest();
    if (program.text.isEmpty())
        return std::nullopt;
    QString error;
    const auto manifest = Manifest::parse(program.text, &error);
    if (!manifest)
        throw RuntimeError::cannotCreateObject(name, QStringLiteral("the program's manifest is damaged (%1)").arg(error));
    const ManifestClass* entry = clsid ? manifest->findClass(*clsid) : manifest->findProgId(name);
    if (!entry)
        return std::nullopt;
    const auto path = Manifest::libraryPath(program.programDir, entry->libraryFile);
    if (!path)
        throw RuntimeError::cannotCreateObject(
            name, QStringLiteral("the manifest names library '%1' outside the program's folder").arg(entry->libraryFile));
    return ClassLocation{entry->clsid, *path, QStringLiteral("the program's manifest")};
}

// The registry, asked after the manifest: the user's store, then the system's. Its paths
// are absolute as written; the library loader checks them like any other.
std::optional<ClassLocation> findInRegistry(const QString& name)
{
    QString error;
    const auto entry = Registry::locate(name, &error);
    if (!entry && !error.isEmpty())
        throw RuntimeError::cannotCreateObject(name, error);
    if (!entry)
        return std::nullopt;
    return ClassLocation{entry->clsid, entry->libraryPath, QStringLiteral("the registry '%1'").arg(entry->store)};
}

} // namespace

void setProgramManifest(const QByteArray& manifest, const QString& programDir)
{
    programManifest() = {manifest, programDir};
}

ComPtr<IUnknown> createObject(const QString& name)
{
    const std::optional<Guid> clsid = parseGuid(name);
    std::optional<ClassLocation> location = findInManifest(name, clsid);
    if (!location)
        location = findInRegistry(name);
    if (!location)
        throw RuntimeError::cannotCreateObject(
            name, QStringLiteral("the class is not registered (neither in the program's manifest nor in the registry: %1)")
                      .arg(QLatin1Char('\'') + Registry::searchOrder().join(QStringLiteral("', then '")) + QLatin1Char('\'')));

    qCDebug(lcComponents) << name << "is class" << location->clsid.toString() << "in" << location->libraryPath
                          << "named by" << location->source;
    QString reason;
    const LibraryFile* library = LibraryFile::load(location->libraryPath, &reason);
    if (!library)
        throw RuntimeError::cannotCreateObject(name, QStringLiteral("%1 (named by %2)").arg(reason, location->source));

    ComPtr<IClassFactory> factory;
    HRESULT hr = library->getClassObject(location->clsid, IClassFactory::iid, factory.put());
    if (failed(hr) || !factory)
        throw RuntimeError::cannotCreateObject(
            name, QStringLiteral("library '%1' does not deliver class %2 (code 0x%3)")
                      .arg(location->libraryPath, location->clsid.toString())
                      .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0')));
    ComPtr<IUnknown> instance;
    hr = factory->CreateInstance(nullptr, IUnknown::iid, instance.put());
    if (failed(hr) || !instance)
        throw RuntimeError::cannotCreateObject(
            name, QStringLiteral("the class refused to make an instance (code 0x%1)")
                      .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0')));
    return instance;
}

} // namespace fk::com
