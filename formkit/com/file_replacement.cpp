#include "com/file_replacement.h"

#include "com/failure.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fk::com {

namespace {

QByteArray writingName(const QString& path) { return QFile::encodeName(path + QStringLiteral(".writing")); }

QString cannotWrite(const QString& path, int code)
{
    return QStringLiteral("cannot write '%1': %2").arg(path, QString::fromLocal8Bit(std::strerror(code)));
}

bool writeAll(int fd, const QByteArray& contents)
{
    for (qsizetype done = 0; done < contents.size();) {
        const ssize_t n = ::write(fd, contents.constData() + done, static_cast<std::size_t>(contents.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

// Gives the new file the mode asked for, or else the old file's; a new file without a mode
// asked for keeps what the umask left.
bool setMode(int fd, const QByteArray& target, std::optional<mode_t> mode)
{
    if (mode)
        return ::fchmod(fd, *mode) == 0;
    struct stat old {};
    return ::stat(target.constData(), &old) != 0 || ::fchmod(fd, old.st_mode & 07777) == 0;
}

// Flushes a folder's list of names to the disk; gives the error it met, or 0.
int syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int code = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // A file system that cannot flush folders (EINVAL) keeps its names its own way.
    return code == EINVAL ? 0 : code;
}

} // namespace

bool replaceFile(const QString& path, const QByteArray& contents, std::optional<mode_t> mode, QString* error)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = writingName(path);
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        return fail(error, cannotWrite(path, errno));
    const bool ok = setMode(fd, target, mode) && writeAll(fd, contents) && ::fdatasync(fd) == 0;
    const int code = errno;
    if (::close(fd) != 0 || !ok || ::rename(temporary.constData(), target.constData()) != 0) {
        const int why = ok ? errno : code;
        ::unlink(temporary.constData());
        return fail(error, cannotWrite(path, why));
    }
    if (const int folderError = syncFolder(QFile::encodeName(QFileInfo(path).absolutePath())); folderError != 0)
        return fail(error, QStringLiteral("'%1' was replaced, but its folder cannot be flushed to the disk: %2")
                               .arg(path, QString::fromLocal8Bit(std::strerror(folderError))));
    return true;
}

void removeLeftovers(const QString& path) { ::unlink(writingName(path).constData()); }

std::optional<QString> replacementTarget(const QString& path, QString* error)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return path;
    char* resolved = ::realpath(native.constData(), nullptr);
    if (!resolved)
        return fail(error, QStringLiteral("'%1' is a symbolic link that leads to no file (%2); it is left as it is")
                               .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    const QString target = QFile::decodeName(resolved);
    std::free(resolved);
    return target;
}

} // namespace fk::com
