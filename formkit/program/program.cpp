#include "program/program.h"

#include "com/activation.h"
#include "forms/accessibility.h"
#include "forms/error_reporting.h"
#include "forms/font.h"
#include "forms/form.h"
#include "platform/pointer_source.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace fk {

namespace {

// The program moves its own windows and reads the global cursor position, which X11
// allows and Wayland does not; under Wayland it runs through XWayland unless the user
// chose a platform.
void choosePlatform()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") && qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// Whether the D-Bus library finds a session bus without starting one: one named in the
// environment, or the user's own socket at $XDG_RUNTIME_DIR/bus, which the library takes
// only as a socket of the user's (not through a link).
bool sessionBusAtHand()
{
    if (!qgetenv("DBUS_SESSION_BUS_ADDRESS").isEmpty())
        return true;
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    if (runtimeDir.isEmpty())
        return false;
    struct stat entry {};
    return ::lstat(QByteArray(runtimeDir + "/bus").constData(), &entry) == 0 && S_ISSOCK(entry.st_mode)
           && entry.st_uid == ::getuid();
}

} // namespace

bool haveDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qgetenv("DISPLAY").isEmpty()
           || !qgetenv("WAYLAND_DISPLAY").isEmpty();
}

void goWithoutAccessibilityWhenNoSessionBus()
{
    if (sessionBusAtHand() || !qgetenv("AT_SPI_BUS_ADDRESS").isEmpty())
        return;
    // An address the library refuses at once, without launching anything.
    qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
}

void prepareRuntime(const ProgramDescription& program, const QByteArray& manifest)
{
    QCoreApplication::setApplicationName(program.name);
    setErrorReporter(reportAndEndProgram);
    installDefaultFont();
    installAccessibility();
    com::setProgramManifest(manifest, QCoreApplication::applicationDirPath());
}

int runProgram(int argc, char** argv, const ProgramDescription& program, const QByteArray& manifest)
{
    choosePlatform();
    if (!haveDisplay()) {
        std::fprintf(stderr, "%s: no display to show windows on (DISPLAY is not set); try: xvfb-run %s\n",
                     qPrintable(program.name), argc > 0 ? argv[0] : "the program");
        return 2;
    }
    goWithoutAccessibilityWhenNoSessionBus();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    prepareRuntime(program, manifest);
    bool loaded = false;
    runHandler([&] {
        program.loadFirstForm();
        loaded = true;
    });
    const int status = loaded ? QApplication::exec() : 1;
    finishRuntime();
    return status;
}

void finishRuntime()
{
    destroyAllForms();
    platform::closePointerSource();
}

} // namespace fk
