#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace fk {

// What the runtime needs to know to start a program.
struct ProgramDescription {
    QString name;
    // The program's manifest: which component classes it uses and the library files that
    // deliver them, relative to the program's folder.
    QByteArray manifest;
    // Loads the first form; no code of the program runs before it.
    std::function<void()> loadFirstForm;
};

// Starts the window runtime, loads the first form and runs the event loop until the
// program ends. Returns the process's exit status.
int runProgram(int argc, char** argv, const ProgramDescription& program);

// Prepares the toolkit the way runProgram does, without loading a form or running the
// event loop: the default font and the program's manifest. Tests start the runtime here.
void prepareRuntime(const ProgramDescription& program);

} // namespace fk
