#include "core/logging.h"

Q_LOGGING_CATEGORY(lcPointer, "formkit.pointer", QtWarningMsg)
Q_LOGGING_CATEGORY(lcTimers, "formkit.timers", QtWarningMsg)
Q_LOGGING_CATEGORY(lcComponents, "formkit.com", QtWarningMsg)
Q_LOGGING_CATEGORY(lcRegistry, "formkit.registry", QtWarningMsg)
