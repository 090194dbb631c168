#include "com/store_file.h"

#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fk::com {

namespace {

using Outcome = StoreFile::Outcome;
using Contents = StoreFile::Contents;

QString systemError(int code) { return QString::fromLocal8Bit(std::strerror(code)); }

Contents failed(const QString& path, const QString& what)
{
    return {Outcome::Failed, {}, QStringLiteral("the registry '%1' %2").arg(path, what)};
}

Contents cannotExamine(const QString& path, int code)
{
    if (code == ENOENT || code == ENOTDIR)
        return {Outcome::Missing, {}, {}};
    return failed(path, QStringLiteral("cannot be examined: %1").arg(systemError(code)));
}

constexpr mode_t kWritableByOthers = S_IWGRP | S_IWOTH;

// Why a file and its folder are not root's alone, or an empty text when they are.
QString whyNotRootsAlone(const struct stat& file, const struct stat& folder, const QString& folderPath)
{
    if (file.st_uid != 0)
        return QStringLiteral("it belongs to user %1").arg(file.st_uid);
    if (file.st_mode & kWritableByOthers)
        return QStringLiteral("other users can write it");
    if (folder.st_uid != 0)
        return QStringLiteral("its folder '%1' belongs to user %2").arg(folderPath).arg(folder.st_uid);
    if (folder.st_mode & kWritableByOthers)
        return QStringLiteral("other users can write its folder '%1'").arg(folderPath);
    return {};
}

// The rest of the file behind an open descriptor, as long as it stays within a store's size.
Contents readAll(const QString& path, int fd)
{
    Contents contents{Outcome::Read, {}, {}};
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(path, QStringLiteral("cannot be read: %1").arg(systemError(errno)));
        if (got == 0)
            return contents;
        contents.bytes.append(buffer, got);
        if (contents.bytes.size() > StoreFile::kLargest)
            return failed(path, QStringLiteral("is damaged: it is larger than %1 bytes").arg(StoreFile::kLargest));
    }
}

// Reads the file name in the folder open as folderFd; path names it for messages.
Contents readIn(const QString& path, int folderFd, const QString& folderPath, const QByteArray& name, StoreFile::Trust trust)
{
    // Looked at before it is opened: opening a pipe or a device would wait or do worse.
    struct stat named {};
    if (::fstatat(folderFd, name.constData(), &named, AT_SYMLINK_NOFOLLOW) != 0)
        return cannotExamine(path, errno);
    if (!S_ISREG(named.st_mode))
        return failed(path, QStringLiteral("is not a regular file"));
    const int fd = ::openat(folderFd, name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        const int code = errno;
        return code == ENOENT ? Contents{Outcome::Missing, {}, {}}
                              : failed(path, QStringLiteral("cannot be read: %1").arg(systemError(code)));
    }
    // A writer may have put a new store in place since: what counts is the file opened.
    struct stat opened {}, folder {};
    Contents contents;
    if (::fstat(fd, &opened) != 0 || ::fstat(folderFd, &folder) != 0)
        contents = failed(path, QStringLiteral("cannot be examined: %1").arg(systemError(errno)));
    else if (!S_ISREG(opened.st_mode))
        contents = failed(path, QStringLiteral("is not a regular file"));
    else if (opened.st_size > StoreFile::kLargest)
        contents = failed(path, QStringLiteral("is damaged: it is larger than %1 bytes").arg(StoreFile::kLargest));
    else if (const QString why = trust == StoreFile::Trust::RootOnly ? whyNotRootsAlone(opened, folder, folderPath) : QString();
             !why.isEmpty())
        contents = {Outcome::Distrusted, {}, why};
    else
        contents = readAll(path, fd);
    ::close(fd);
    return contents;
}

} // namespace

StoreFile::Contents StoreFile::read(const QString& path, Trust trust)
{
    // The real file, every link followed: its own folder is the one whose writers matter.
    char* resolved = ::realpath(QFile::encodeName(path).constData(), nullptr);
    if (!resolved)
        return cannotExamine(path, errno);
    const QByteArray real(resolved);
    std::free(resolved);
    const qsizetype slash = real.lastIndexOf('/');
    const QByteArray folderPath = slash > 0 ? real.left(slash) : QByteArrayLiteral("/");
    const QByteArray name = real.mid(slash + 1);
    if (name.isEmpty())
        return failed(path, QStringLiteral("is not a regular file"));
    // A descriptor that only finds files: it needs no right to list the folder.
    const int folderFd = ::open(folderPath.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (folderFd < 0)
        return cannotExamine(path, errno);
    Contents contents = readIn(path, folderFd, QFile::decodeName(folderPath), name, trust);
    ::close(folderFd);
    return contents;
}

} // namespace fk::com
