#pragma once

#include <QString>

namespace fk::com {

// An exclusive lock between processes, kept on a lock file of its own. The lock is an
// open-file-description lock, which the kernel lets go of when its holder dies, however it
// dies: a writer killed half-way never leaves a lock that blocks the next one, nor a
// helper file that does (as lock files that name their holder's process do when the holder
// dies while taking over a stale lock). The holder removes the lock file before it lets
// go, so none is left behind; whoever locks a lock file that has just been removed sees
// that and starts again on the new one. Taking the lock needs write access to the file.
class FileLock {
public:
    enum class Failure { None, Timeout, Permission, Other };

    explicit FileLock(QString path) : path_(std::move(path)) {}
    ~FileLock() { unlock(); }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Waits at most timeoutMs for the lock; says why not.
    bool lock(int timeoutMs, Failure* failure);
    void unlock();

private:
    QString path_;
    int fd_ = -1;
};

} // namespace fk::com
