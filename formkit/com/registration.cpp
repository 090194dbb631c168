// The runtime routines behind a library's DllRegisterServer and DllUnregisterServer.
#include "com/library.h"

#include "com/failure.h"
#include "com/library_file.h"
#include "com/registry.h"

#include <QDir>
#include <QFile>
#include <dlfcn.h>
#include <optional>

namespace fk::com {

namespace {

// The reason for the last failure, kept for registrationError(): the entry points take no
// argument to say it through.
QString& lastError()
{
    thread_local QString text;
    return text;
}

HRESULT failRegistration(HRESULT code, const QString& why)
{
    lastError() = why;
    return code;
}

// The file an address belongs to: for a library's descriptor, the library file itself, by
// the path the loader opened it with.
std::optional<QString> fileOf(const void* address, QString* error)
{
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname) {
        return fail(error, QStringLiteral("the runtime cannot tell which file the library was loaded from"));
    }
    const QString path = QFile::decodeName(info.dli_fname);
    if (!QDir::isAbsolutePath(path))
        return fail(error, QStringLiteral("the library was loaded by the relative path '%1'; it registers only when "
                                          "loaded by its absolute path")
                               .arg(path));
    return QDir::cleanPath(path);
}

} // namespace

QString registrationError() { return lastError(); }

HRESULT libraryRegister(LibraryState&, const LibraryDescriptor& library)
{
    lastError().clear();
    if (!library.typeLibrary)
        return failRegistration(SELFREG_E_TYPELIB, QStringLiteral("the library declares no type library"));
    QString error;
    const auto path = fileOf(&library, &error);
    if (!path)
        return failRegistration(SELFREG_E_CLASS, error);
    // Registering a file that activation would refuse to load helps nobody.
    if (const QString refused = LibraryFile::refusal(*path); !refused.isEmpty())
        return failRegistration(SELFREG_E_CLASS, refused);
    if (!Registry().registerLibrary(library, *path, &error))
        return failRegistration(SELFREG_E_CLASS, error);
    return S_OK;
}

HRESULT libraryUnregister(LibraryState&, const LibraryDescriptor& library)
{
    lastError().clear();
    if (!library.typeLibrary)
        return failRegistration(SELFREG_E_TYPELIB, QStringLiteral("the library declares no type library"));
    QString error;
    if (!Registry().unregisterLibrary(library, &error))
        return failRegistration(SELFREG_E_CLASS, error);
    return S_OK;
}

} // namespace fk::com
