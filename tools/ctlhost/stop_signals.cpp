#include "stop_signals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

// A signal handler may only do async-signal-safe work: it writes the signal's number into a
// pipe, and the event loop reads the pipe. Both ends are non-blocking, so that a handler
// never waits on a full pipe (a stop is noted already then), and close on exec, so that no
// program the host starts inherits them.
int signalPipe[2] = {-1, -1};

constexpr int kStopSignals[] = {SIGTERM, SIGINT};

void noteSignal(int signal)
{
    // The handler runs between any two instructions of the program, which may be about to
    // read errno; the write must not change it.
    const int savedErrno = errno;
    const auto number = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
    errno = savedErrno;
}

void setAction(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kStopSignals)
        ::sigaction(signal, &action, nullptr);
}

// The number of a signal noted and not yet read, or 0 when there is none; reads them all.
int readNotedSignals()
{
    int first = 0;
    unsigned char numbers[64];
    for (;;) {
        const ssize_t got = ::read(signalPipe[0], numbers, sizeof numbers);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return first;
        if (first == 0)
            first = numbers[0];
    }
}

} // namespace

void catchStopSignals()
{
    // Without the pipe a signal could not be noted; the default action stays, and a signal
    // ends the host as before.
    if (::pipe2(signalPipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return;
    setAction(noteSignal);
}

void releaseStopSignals()
{
    if (signalPipe[0] < 0)
        return;
    setAction(SIG_DFL);
    const int noted = readNotedSignals();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
    if (noted != 0)
        ::raise(noted);
}

void onStopSignal(std::function<void()> stop)
{
    if (signalPipe[0] < 0)
        return;
    auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [stop = std::move(stop), stopped = false]() mutable {
        if (readNotedSignals() == 0 || stopped)
            return;
        stopped = true;
        stop();
    });
}
