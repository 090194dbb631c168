#include "frmStartup.h"

#include "forms/form.h"
#include "program/program.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Docks match the running windows to the desktop entry by this name and by the window
    // class, which is the program's name (StartupWMClass in the entry).
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
    return fk::runProgram(argc, argv,
                          {.name = QStringLiteral("Corvane_ALPHA3"),
                           .loadFirstForm = [] { fk::formInstance<corvane::frmStartup>(); }});
}
