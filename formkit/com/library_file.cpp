#include "com/library_file.h"

#include <QDir>
#include <QFileInfo>
#include <dlfcn.h>
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
    return {};
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
    if (!::dlsym(handle, "DllGetClassObject")) {
        ::dlclose(handle);
        *reason = QStringLiteral("library file '%1' is not a component library").arg(path);
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
