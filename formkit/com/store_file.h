#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace fk::com {

// The file of a registry store, read whole for a reader. Links are followed to the real
// file, which is then opened through a descriptor of its folder and examined through the
// descriptors that are read, so that the owner and permissions looked at are those of
// what is read even while someone renames files around it. A pipe or a device is never
// opened, and a file larger than any store is never read.
class StoreFile {
public:
    // The largest store a reader takes, and so the largest a writer may leave behind.
    static constexpr qint64 kLargest = 64 * 1024 * 1024;

    // Whose files a reader takes: anyone's, or only those that nobody but root can have
    // written (a file of root's that only root may write, in a folder of the same kind).
    enum class Trust { AnyOwner, RootOnly };

    enum class Outcome {
        Read,       // bytes holds the file
        Missing,    // there is no such file: the store is empty
        Distrusted, // the file is not of the kind the trust asks for; why says whose it is
        Failed,     // why says, in one line, what went wrong
    };
    struct Contents {
        Outcome outcome = Outcome::Failed;
        QByteArray bytes;
        QString why;
    };

    static Contents read(const QString& path, Trust trust);
};

} // namespace fk::com
