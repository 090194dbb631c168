// The runtime routines behind a library's DllRegisterServer and DllUnregisterServer.
#include "com/library.h"

#include "com/failure.h"
#include "com/library_file.h"
#include "com/module_file.h"
#include "com/registry.h"

#include <QDir>
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

} // namespace

QString registrationError() { return lastError(); }

HRESULT libraryRegister(LibraryState&, const LibraryDescriptor& library)
{
    lastError().clear();
    if (!library.typeLibrary)
        return failRegistration(SELFREG_E_TYPELIB, QStringLiteral("the library declares no type library"));
    QString error;
    const auto path = moduleFileOf(&library, &error);
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
