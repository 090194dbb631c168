#include "com/module_file.h"

#include "com/failure.h"

#include <QDir>
#include <QFile>
#include <dlfcn.h>

namespace fk::com {

std::optional<QString> moduleFileOf(const void* address, QString* error)
{
    Dl_info info{};
    if (::dladdr(address, &info) == 0 || !info.dli_fname || !*info.dli_fname)
        return fail(error, QStringLiteral("the runtime cannot tell which file the module was loaded from"));
    const QString path = QFile::decodeName(info.dli_fname);
    if (!QDir::isAbsolutePath(path))
        return fail(error, QStringLiteral("the module was loaded by the relative path '%1'").arg(path));
    return QDir::cleanPath(path);
}

} // namespace fk::com
