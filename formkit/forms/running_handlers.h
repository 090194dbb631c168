#pragma once

#include <functional>

namespace fk {

// The event handlers running at this moment: one inside another when a handler pumps events
// or shows a modal window. Work that must not happen under a running handler waits here
// until the last of them has returned, such as the end of a form that was unloaded while one
// of its own handlers pumped events (its window closed by the window manager, say): that
// handler goes on to use the form once the pump returns.
class RunningHandlers {
public:
    // Counts one handler for as long as it lives; the last to go runs the work that waits.
    class Entry {
    public:
        Entry();
        ~Entry();
        Entry(const Entry&) = delete;
        Entry& operator=(const Entry&) = delete;
    };

    // Runs the work at once while no handler runs, or else as the last running one returns.
    static void whenAllReturned(std::function<void()> work);
};

} // namespace fk
