#pragma once

#include <QLoggingCategory>

// formkit's tracing, quiet by default. Turn a category on with QT_LOGGING_RULES, for
// example QT_LOGGING_RULES="formkit.pointer.debug=true" or "formkit.*.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcPointer)     // formkit.pointer: the pointer source, its reports and readings
Q_DECLARE_LOGGING_CATEGORY(lcTimers)      // formkit.timers: polling groups waking and resting
Q_DECLARE_LOGGING_CATEGORY(lcComponents)  // formkit.com: where a class is found and how its creation went
Q_DECLARE_LOGGING_CATEGORY(lcRegistry)    // formkit.registry: the stores read, locked and written
