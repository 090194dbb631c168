#include "com/library_file.h"

#include "com/built_file.h"
#include "com/elf_image.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <dlfcn.h>
#include <elf.h>
#include <map>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace fk::com {

namespace {

using GetClassObjectEntry = HRESULT (*)(const Guid*, const Guid*, void**);

std::map<QString, std::unique_ptr<LibraryFile>>& loadedLibraries()
{
    static std::map<QString, std::unique_ptr<LibraryFile>> libraries;
    return libraries;
}

// The processor this code runs on, as the executable format numbers it: a library built for
// another cannot be loaded here.
#if defined(__x86_64__)
constexpr std::uint16_t kThisMachine = EM_X86_64;
#elif defined(__aarch64__)
constexpr std::uint16_t kThisMachine = EM_AARCH64;
#else
#error "the library loader does not know the executable format's number of this processor"
#endif

// What every component library exports, and the runtime calls.
constexpr const char* kEntryPoints[] = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"};

// Why the file's contents make it no component library for this process, or an empty text.
// Read from the file, never by loading it: whatever refuses a file here, no code of it runs.
QString contentRefusal(const QString& path)
{
    QString error;
    const auto bytes = readBuiltFile(path, &error);
    if (!bytes)
        return error;
    const auto image = ElfImage::read(*bytes, path, &error);
    if (!image)
        return error;
    if (image->fileType() != ET_DYN)
        return QStringLiteral("library file '%1' is not a shared library").arg(path);
    if (image->machine() != kThisMachine)
        return QStringLiteral("library file '%1' is built for another processor (machine %2, this one is %3)")
            .arg(path)
            .arg(image->machine())
            .arg(kThisMachine);
    const auto exported = image->exportedFunctions(&error);
    if (!exported)
        return error;
    QStringList missing;
    for (const char* entryPoint : kEntryPoints)
        if (!exported->contains(entryPoint))
            missing << QLatin1String(entryPoint);
    if (!missing.isEmpty())
        return QStringLiteral("library file '%1' is not a component library: it does not export %2")
            .arg(path, missing.join(QStringLiteral(", ")));
    return {};
}

} // namespace

QString LibraryFile::refusal(const QString& path)
{
    if (path.isEmpty())
        return QStringLiteral("no library file is named");
    // A path with a NUL inside would be cut short by the system and name another file.
    if (path.contains(QChar(0)))
        return QStringLiteral("library path '%1' has a NUL character inside").arg(QString(path).replace(QChar(0), QStringLiteral("\\0")));
    if (!QDir::isAbsolutePath(path))
        return QStringLiteral("library path '%1' is not absolute").arg(path);
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0)
        return QStringLiteral("library file '%1' does not exist").arg(path);
    if (S_ISLNK(info.st_mode))
        return QStringLiteral("library path '%1' is a symbolic link").arg(path);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("library path '%1' is not a regular file").arg(path);
    if (QFileInfo(path).canonicalFilePath() != QDir::cleanPath(path))
        return QStringLiteral("library path '%1' is not canonical").arg(path);
    if (info.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("library file '%1' can be written by other users").arg(path);
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        return QStringLiteral("library file '%1' belongs to another user").arg(path);
    // Whoever can write a folder on the way can put another file in the library's place
    // between this check and the load; a shared folder is safe only with its sticky bit.
    for (QDir folder = QFileInfo(path).dir();; ) {
        struct stat folderInfo {};
        const QString folderPath = folder.absolutePath();
        if (::stat(QFile::encodeName(folderPath).constData(), &folderInfo) != 0)
            return QStringLiteral("folder '%1' cannot be examined").arg(folderPath);
        if ((folderInfo.st_mode & (S_IWGRP | S_IWOTH)) && !(folderInfo.st_mode & S_ISVTX))
            return QStringLiteral("folder '%1' of the library can be written by other users").arg(folderPath);
        if (folderInfo.st_uid != ::geteuid() && folderInfo.st_uid != 0)
            return QStringLiteral("folder '%1' of the library belongs to another user").arg(folderPath);
        if (folder.isRoot())
            break;
        folder.cdUp();
    }
    return contentRefusal(path);
}

const LibraryFile* LibraryFile::load(const QString& path, QString* reason)
{
    auto& libraries = loadedLibraries();
    if (auto it = libraries.find(path); it != libraries.end())
        return it->second.get();
    if (QString refused = refusal(path); !refused.isEmpty()) {
        *reason = refused;
        return nullptr;
    }
    void* handle = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        *reason = QStringLiteral("library file '%1' cannot be loaded: %2").arg(path, QString::fromLocal8Bit(::dlerror()));
        return nullptr;
    }
    auto library = std::unique_ptr<LibraryFile>(new LibraryFile(path, handle));
    const LibraryFile* result = library.get();
    libraries.emplace(path, std::move(library));
    return result;
}

HRESULT LibraryFile::getClassObject(const Guid& clsid, const Guid& interfaceId, void** object) const
{
    auto entry = reinterpret_cast<GetClassObjectEntry>(entryPoint("DllGetClassObject"));
    return entry ? entry(&clsid, &interfaceId, object) : E_UNEXPECTED;
}

void* LibraryFile::entryPoint(const char* name) const { return ::dlsym(handle_, name); }

} // namespace fk::com
