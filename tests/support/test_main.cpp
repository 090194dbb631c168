// The entry of every widget test program: a real application object on the offscreen
// platform, the runtime prepared as the program prepares it, and the program's manifest
// when the test program carries one.
#include "forms/form.h"
#include "program/program.h"

#include <QApplication>
#include <QDir>
#include <unistd.h>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // Widget tests never need a real display: the offscreen platform, one 1280 x 1024
    // screen at 96 dots per inch, and no desktop theme.
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" CORVANE_TEST_DATA "/support/offscreen.json");
    qunsetenv("QT_QPA_PLATFORMTHEME");
    const QString runtimeDir = QDir::temp().filePath(QStringLiteral("corvane-tests-%1").arg(::getuid()));
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", runtimeDir.toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    fk::prepareRuntime({.name = QStringLiteral("Corvane_ALPHA3"), .loadFirstForm = {}});
    // Tests never touch the user's or the machine's registry: each test program has stores
    // of its own that do not exist until a test registers something.
    if (!qEnvironmentVariableIsSet("FORMKIT_REGISTRY"))
        qputenv("FORMKIT_REGISTRY", QStringLiteral("%1/registry-%2.json").arg(runtimeDir).arg(::getpid()).toLocal8Bit());
    if (!qEnvironmentVariableIsSet("FORMKIT_SYSTEM_REGISTRY"))
        qputenv("FORMKIT_SYSTEM_REGISTRY",
                QStringLiteral("%1/system-registry-%2.json").arg(runtimeDir).arg(::getpid()).toLocal8Bit());
    const int status = RUN_ALL_TESTS();
    fk::destroyAllForms();
    return status;
}
