// regsvr [--system] [-u] FILE
//
// Registers a component library for this user (or, with -u, removes its registration) by
// loading it through formkit's library loader and calling its DllRegisterServer or
// DllUnregisterServer. With --system the library registers into the system store instead,
// for every user of the machine; packages do that as root when they install a library, and
// remove the entries again before they remove it. The loader takes absolute paths only, so FILE is made absolute
// first; it still refuses links, files others can write and the like.
//
// Exit status: 0 done, 1 failed (the reason goes to standard error), 2 wrong usage.
#include "com/library.h"
#include "com/library_file.h"
#include "com/registry.h"
#include "tool_command_line.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <cstdio>

using namespace fk::com;

namespace {

using RegistrationEntry = HRESULT (*)();

int failure(const QString& message)
{
    std::fprintf(stderr, "regsvr: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    ToolCommandLine commandLine("regsvr", QStringLiteral("regsvr [-u] FILE\n       regsvr --system [-u] FILE"),
                                QStringLiteral("Registers the component library FILE for this user, or with --system for every "
                                               "user of the machine; -u removes the registration."));
    const QCommandLineOption unregisterOption(QStringLiteral("u"), QStringLiteral("Remove the registration."));
    const QCommandLineOption systemOption(QStringLiteral("system"), QStringLiteral("Use the system store (as root)."));
    commandLine.parser.addOptions({unregisterOption, systemOption});
    commandLine.parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("the component library"));
    if (const auto status = commandLine.parse(argc, argv))
        return *status;
    QCoreApplication app(argc, argv);
    const QStringList args = commandLine.parser.positionalArguments();
    if (args.size() != 1 || args.first().isEmpty())
        return commandLine.usageError(QStringLiteral("name one library FILE"));
    const bool unregister = commandLine.parser.isSet(unregisterOption);
    const bool system = commandLine.parser.isSet(systemOption);

    Registry::setRegistrationScope(system ? Registry::Scope::System : Registry::Scope::User);
    const Registry store;
    // Refused before the library runs, so that the reason is the plain one.
    if (QString why; !store.writable(&why))
        return failure(system ? why + QStringLiteral(" (the system store is written as root)") : why);

    const QString path = QDir::cleanPath(QFileInfo(args.first()).absoluteFilePath());
    QString reason;
    const LibraryFile* library = LibraryFile::load(path, &reason);
    if (!library)
        return failure(reason);
    const char* name = unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto entry = reinterpret_cast<RegistrationEntry>(library->entryPoint(name));
    if (!entry)
        return failure(QStringLiteral("'%1' has no entry point %2: it does not register itself").arg(path, QLatin1String(name)));

    const HRESULT hr = entry();
    if (failed(hr)) {
        const QString why = registrationError();
        return failure(QStringLiteral("%1 of '%2' failed (code 0x%3)%4")
                           .arg(QLatin1String(name), path)
                           .arg(static_cast<quint32>(hr), 8, 16, QLatin1Char('0'))
                           .arg(why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    }
    std::printf("regsvr: %s '%s' %s '%s'\n", unregister ? "removed" : "registered", qPrintable(path),
                unregister ? "from" : "in", qPrintable(store.path()));
    return 0;
}
