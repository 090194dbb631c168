#include "com/built_file.h"

#include "com/failure.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fk::com {

namespace {

QString systemError() { return QString::fromLocal8Bit(std::strerror(errno)); }

// Closes a descriptor when the reading is over, whichever way it ends.
class OpenFile {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    ~OpenFile() { ::close(descriptor_); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

} // namespace

std::optional<QByteArray> readBuiltFile(const QString& path, QString* error)
{
    // Opened without waiting, so that a pipe nobody writes to does not hold the reader until
    // it is found to be no file; the flag changes nothing for a regular file.
    const int descriptor = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0)
        return fail(error, QStringLiteral("cannot open '%1': %2").arg(path, systemError()));
    const OpenFile file(descriptor);
    struct stat info {};
    if (::fstat(file.descriptor(), &info) != 0)
        return fail(error, QStringLiteral("cannot examine '%1': %2").arg(path, systemError()));
    if (!S_ISREG(info.st_mode))
        return fail(error, QStringLiteral("'%1' is not a regular file").arg(path));
    if (info.st_size > kLargestBuiltFile)
        return fail(error, QStringLiteral("'%1' is %2 bytes, more than the %3 MiB a built file may have")
                               .arg(path)
                               .arg(info.st_size)
                               .arg(kLargestBuiltFile >> 20));
    // A file that grows while it is read is read as large as it was; one that shrinks ends
    // where it ends.
    QByteArray bytes(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
    qsizetype got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::read(file.descriptor(), bytes.data() + got, static_cast<std::size_t>(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(error, QStringLiteral("cannot read '%1': %2").arg(path, systemError()));
        if (n == 0)
            break;
        got += n;
    }
    bytes.truncate(got);
    return bytes;
}

} // namespace fk::com
