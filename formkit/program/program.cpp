#include "program/program.h"

#include "com/activation.h"
#include "forms/accessibility.h"
#include "forms/error_reporting.h"
#include "forms/font.h"
#include "forms/form.h"

#include <QApplication>
#include <QDir>
#include <cstdio>
#include <cstdlib>

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

} // namespace

bool haveDisplay()
{
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || !qgetenv("DISPLAY").isEmpty()
           || !qgetenv("WAYLAND_DISPLAY").isEmpty();
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
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    prepareRuntime(program, manifest);
    bool loaded = false;
    runHandler([&] {
        program.loadFirstForm();
        loaded = true;
    });
    const int status = loaded ? QApplication::exec() : 1;
    destroyAllForms();
    return status;
}

} // namespace fk
