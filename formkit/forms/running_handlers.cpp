#include "forms/running_handlers.h"

#include <vector>

namespace fk {

namespace {

int& depth()
{
    static int running = 0;
    return running;
}

std::vector<std::function<void()>>& waitingWork()
{
    static std::vector<std::function<void()>> work;
    return work;
}

} // namespace

RunningHandlers::Entry::Entry() { ++depth(); }

RunningHandlers::Entry::~Entry()
{
    if (--depth() > 0)
        return;
    // Taken out before any of it runs: work that runs a handler of its own finds nothing
    // left to run a second time.
    std::vector<std::function<void()>> work;
    work.swap(waitingWork());
    for (const auto& piece : work)
        piece();
}

void RunningHandlers::whenAllReturned(std::function<void()> work)
{
    if (depth() == 0)
        work();
    else
        waitingWork().push_back(std::move(work));
}

} // namespace fk
