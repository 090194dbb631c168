#pragma once

#include "com/resources.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace fk {

// What the runtime needs to know to start a program.
struct ProgramDescription {
    QString name;
    // Loads the first form; no code of the program runs before it.
    std::function<void()> loadFirstForm;
};

// The program's manifest (which component classes it uses and the library files that
// deliver them, relative to the program's folder), read from the resources of the module
// that calls this. Each module sees only its own resource table, so the reading is inline,
// in the caller's own code. Empty where the module carries no manifest.
inline QByteArray ownManifest()
{
    const auto table = com::ResourceTable::parse(com::moduleResources());
    const com::Resource* manifest = table ? table->find(QStringLiteral("MANIFEST"), 1) : nullptr;
    return manifest ? manifest->data : QByteArray();
}

// Whether there is a display to show windows on, or a platform chosen that needs none.
bool haveDisplay();

// Assistive technology reaches a program through the session bus, which the toolkit asks
// for as the first window shows. Where there is none, the D-Bus library would launch a bus
// of its own for the display, which holds the first window back by up to seconds and
// outlives the program; the program then goes without accessibility and starts at once.
// An accessibility bus named in the environment needs no session bus and is kept. Called
// before the application object is made; runProgram does.
void goWithoutAccessibilityWhenNoSessionBus();

// Starts the window runtime, loads the first form and runs the event loop until the
// program ends. Returns the process's exit status.
int runProgram(int argc, char** argv, const ProgramDescription& program, const QByteArray& manifest = ownManifest());

// Ends the runtime before the application object goes: destroys every form and stops the
// pointer source, joining its thread. runProgram does; a host of its own calls it last.
void finishRuntime();

// Prepares the toolkit the way runProgram does, without loading a form or running the
// event loop: the default font, the program's manifest and its error reporter. Tests start the
// runtime here.
void prepareRuntime(const ProgramDescription& program, const QByteArray& manifest = ownManifest());

} // namespace fk
