#include "com/file_lock.h"

#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fk::com {

namespace {

FileLock::Failure failureOf(int error)
{
    return error == EACCES || error == EPERM || error == EROFS ? FileLock::Failure::Permission : FileLock::Failure::Other;
}

// Whether fd is still the file at path, that is, no one removed or replaced it since it
// was opened.
bool stillThere(int fd, const QByteArray& path)
{
    struct stat opened {}, named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.constData(), &named) == 0 && opened.st_dev == named.st_dev
           && opened.st_ino == named.st_ino;
}

} // namespace

bool FileLock::lock(int timeoutMs, Failure* failure)
{
    unlock();
    const QByteArray native = QFile::encodeName(path_);
    QElapsedTimer waited;
    waited.start();
    int pauseMs = 1;
    for (;;) {
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0) {
            *failure = failureOf(errno);
            return false;
        }
        struct flock whole {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        const bool locked = ::fcntl(fd, F_OFD_SETLK, &whole) == 0;
        const int error = errno;
        // A holder before removed the file as it let go: then the new one is the lock.
        if (locked && stillThere(fd, native)) {
            fd_ = fd;
            *failure = Failure::None;
            return true;
        }
        ::close(fd);
        if (!locked && error != EAGAIN && error != EACCES) {
            *failure = Failure::Other;
            return false;
        }
        if (waited.elapsed() >= timeoutMs) {
            *failure = Failure::Timeout;
            return false;
        }
        if (!locked) {
            ::usleep(static_cast<useconds_t>(pauseMs * 1000));
            pauseMs = std::min(pauseMs * 2, 20);
        }
    }
}

void FileLock::unlock()
{
    if (fd_ < 0)
        return;
    ::unlink(QFile::encodeName(path_).constData());
    ::close(fd_);
    fd_ = -1;
}

} // namespace fk::com
