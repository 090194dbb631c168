#include "com/activation.h"

#include "com/class_factory.h"
#include "com/library_file.h"
#include "com/manifest.h"
#include "com/registry.h"
#include "core/logging.h"
#include "core/runtime_error.h"

#include <optional>
#include <vector>

namespace fk::com {

namespace {

// A manifest and the folder its library files are named relative to.
struct ModuleManifest {
    QByteArray text;
    QString dir;
    QString owner;  // whose manifest it is, for error messages
    QString folder; // and whose folder
};

ModuleManifest& programManifest()
{
    static ModuleManifest manifest{{}, {}, QStringLiteral("the program's manifest"), QStringLiteral("the program's folder")};
    return manifest;
}

std::vector<ModuleManifest>& libraryManifests()
{
    static std::vector<ModuleManifest> manifests;
    return manifests;
}

std::optional<ClassLocation> findInManifest(const ModuleManifest& module, const QString& name,
                                            const std::optional<Guid>& clsid)
{
    if (module.text.isEmpty())
        return std::nullopt;
    QString error;
    const auto manifest = Manifest::parse(module.text, &error);
    if (!manifest)
        throw RuntimeError::cannotCreateObject(name, QStringLiteral("%1 is damaged (%2)").arg(module.owner, error));
    const ManifestClass* entry = clsid ? manifest->findClass(*clsid) : manifest->findProgId(name);
    if (!entry)
        return std::nullopt;
    const auto path = Manifest::libraryPath(module.dir, entry->libraryFile);
    if (!path)
        throw RuntimeError::cannotCreateObject(
            name, QStringLiteral("%1 names library '%2' outside %3").arg(module.owner, entry->libraryFile, module.folder));
    return ClassLocation{entry->clsid, *path, module.owner};
}

std::optional<ClassLocation> findInManifests(const QString& name, const std::optional<Guid>& clsid)
{
    if (auto location = findInManifest(programManifest(), name, clsid))
        return location;
    for (const ModuleManifest& library : libraryManifests())
        if (auto location = findInManifest(library, name, clsid))
            return location;
    return std::nullopt;
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
    programManifest().text = manifest;
    programManifest().dir = programDir;
}

void addLibraryManifest(const QByteArray& manifest, const QString& libraryDir)
{
    std::erase_if(libraryManifests(), [&](const ModuleManifest& m) { return m.dir == libraryDir; });
    libraryManifests().push_back({manifest, libraryDir, QStringLiteral("the manifest of the library in '%1'").arg(libraryDir),
                                  QStringLiteral("that library's folder")});
}

ClassLocation locateClass(const QString& name)
{
    const std::optional<Guid> clsid = parseGuid(name);
    std::optional<ClassLocation> location = findInManifests(name, clsid);
    if (!location)
        location = findInRegistry(name);
    if (!location)
        throw RuntimeError::cannotCreateObject(
            name, QStringLiteral("the class is not registered (neither in a manifest nor in the registry: %1)")
                      .arg(QLatin1Char('\'') + Registry::searchOrder().join(QStringLiteral("', then '")) + QLatin1Char('\'')));
    return *location;
}

ComPtr<IUnknown> createObject(const QString& name)
{
    const ClassLocation location = locateClass(name);

    qCDebug(lcComponents) << name << "is class" << location.clsid.toString() << "in" << location.libraryPath
                          << "named by" << location.source;
    QString reason;
    const LibraryFile* library = LibraryFile::load(location.libraryPath, &reason);
    if (!library)
        throw RuntimeError::cannotCreateObject(name, QStringLiteral("%1 (named by %2)").arg(reason, location.source));

    ComPtr<IClassFactory> factory;
    HRESULT hr = library->getClassObject(location.clsid, IClassFactory::iid, factory.put());
    if (failed(hr) || !factory)
        throw RuntimeError::cannotCreateObject(
            name, QStringLiteral("library '%1' does not deliver class %2 (code 0x%3)")
                      .arg(location.libraryPath, location.clsid.toString())
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
