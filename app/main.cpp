#include "frmStartup.h"

#include "forms/form.h"
#include "program/program.h"

int main(int argc, char** argv)
{
    return fk::runProgram(argc, argv,
                          {.name = QStringLiteral("Corvane_ALPHA3"),
                           .loadFirstForm = [] { fk::formInstance<corvane::frmStartup>(); }});
}
