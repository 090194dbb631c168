#include "frmStartup.h"

#include "com/resources.h"
#include "forms/form.h"
#include "forms/program.h"

#include <QGuiApplication>

int main(int argc, char** argv)
{
    // Docks match the running windows to the desktop entry by this name and by the window
    // class, which is the program's name (StartupWMClass in the entry).
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
    const auto resources = fk::com::ResourceTable::parse(fk::com::moduleResources());
    const fk::com::Resource* manifest = resources ? resources->find(QStringLiteral("MANIFEST"), 1) : nullptr;
    return fk::runProgram(argc, argv,
                          {.name = QStringLiteral("Corvane_ALPHA3"),
                           .manifest = manifest ? manifest->data : QByteArray(),
                           .loadFirstForm = [] { fk::formInstance<corvane::frmStartup>(); }});
}
