#pragma once

// What the tests of the component model and of the tools share: the built files, a registry
// of the test's own, copies of the library and running the tools.
#include "com/library_file.h"
#include "support/test_support.h"
#include "com/registry.h"
#include "com/result.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <elf.h>
#include <gtest/gtest.h>
#include <vector>

namespace testing_support {

// A file of the build, by its canonical path (the loader takes no other).
inline QString builtFile(const QString& name)
{
    const QString path = QFileInfo(QStringLiteral(CORVANE_BUILD_BIN "/") + name).canonicalFilePath();
    if (path.isEmpty())
        ADD_FAILURE() << "the build has no " << name.toStdString();
    return path;
}

inline QString sourceFile(const QString& relative)
{
    return QDir::cleanPath(QStringLiteral(CORVANE_TEST_DATA "/../") + relative);
}

// A registry of the test's own in a temporary folder; the process and the tools it starts
// use it instead of the user's.
class TestRegistry {
public:
    TestRegistry()
    {
        EXPECT_TRUE(dir_.isValid());
        path_ = QFileInfo(dir_.path()).canonicalFilePath() + QStringLiteral("/registry.json");
        qputenv("FORMKIT_REGISTRY", QFile::encodeName(path_));
    }
    ~TestRegistry() { qunsetenv("FORMKIT_REGISTRY"); }

    const QString& path() const { return path_; }
    QString folder() const { return QFileInfo(path_).absolutePath(); }

    QByteArray bytes() const
    {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QJsonObject json() const { return QJsonDocument::fromJson(bytes()).object(); }
    void write(const QByteArray& contents) const
    {
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }

private:
    QTemporaryDir dir_;
    QString path_;
};

// A private copy of the built library in a folder of its own (canonical path), owner
// read-write-execute only unless the test changes that.
inline QString copyOfLibrary(const QString& folder, const QString& name = QStringLiteral("Lumakey.ocx"))
{
    const QString canonicalFolder = QFileInfo(folder).canonicalFilePath();
    const QString target = canonicalFolder + QLatin1Char('/') + name;
    QFile::remove(target);
    if (!QFile::copy(builtFile(QStringLiteral("Lumakey.ocx")), target))
        ADD_FAILURE() << "cannot copy the library to " << target.toStdString();
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return target;
}

struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// Runs a built tool to its end; the registry of the test goes with it in the environment.
inline ToolRun runTool(const QString& tool, const QStringList& args, const QString& workingDir = QString())
{
    QProcess process;
    process.setProgram(builtFile(tool));
    process.setArguments(args);
    if (!workingDir.isEmpty())
        process.setWorkingDirectory(workingDir);
    process.start();
    ToolRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        ADD_FAILURE() << tool.toStdString() << " did not finish normally";
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

// The library's exports, as the tools and hosts call them.
using RegistrationEntry = fk::com::HRESULT (*)();
using CanUnloadEntry = fk::com::HRESULT (*)();
using GetClassObjectEntry = fk::com::HRESULT (*)(const fk::com::Guid*, const fk::com::Guid*, void**);

template <class Entry> Entry entryOf(const fk::com::LibraryFile* library, const char* name)
{
    return reinterpret_cast<Entry>(library->entryPoint(name));
}

// A file of the corpus of hostile inputs kept in tests/hostile/<kind>/.
inline QByteArray hostileCorpusFile(const QString& kind, const QString& name)
{
    QFile file(QStringLiteral(CORVANE_TEST_DATA "/hostile/") + kind + QLatin1Char('/') + name);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "the corpus has no " << kind.toStdString() << "/" << name.toStdString();
    return file.readAll();
}

inline QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        ADD_FAILURE() << "cannot read " << path.toStdString();
    return file.readAll();
}

// Files that lie where a component library may lie but that the loader refuses for what they
// hold: what each is, its bytes and how the reason for it ends (after the file's path).
struct RefusedContents {
    const char* what;
    QByteArray bytes;
    QString reasonEnd;
};

inline std::vector<RefusedContents> contentsTheLoaderRefuses()
{
    const QByteArray library = fileBytes(builtFile(QStringLiteral("Lumakey.ocx")));
    // The header's fields: e_type at byte 16, e_machine at byte 18, both little-endian.
    QByteArray program = library;
    program[16] = ET_EXEC;
    QByteArray otherProcessor = library;
    otherProcessor[18] = char(EM_AARCH64);
    // The entry point's name changed wherever the file spells it, the table of dynamic
    // symbol names among them: an otherwise whole library that exports the other three.
    QByteArray withoutClassObject = library;
    withoutClassObject.replace("DllGetClassObject", "DllGetClassObjecX");
    const QString notComponent = QStringLiteral("' is not a component library: it does not export ");
    return {
        {"a text file", fileBytes(sourceFile(QStringLiteral("btn/Lumakey.rsc"))),
         QStringLiteral("' is not a 64-bit little-endian ELF file")},
        {"the library cut short", library.left(4096), QStringLiteral("' has a damaged section table")},
        {"a program linked to a fixed address", program, QStringLiteral("' is not a shared library")},
        {"a library for another processor", otherProcessor, QStringLiteral("' is built for another processor (machine %1, this one is %2)")
                                                                 .arg(EM_AARCH64)
                                                                 .arg(EM_X86_64)},
        {"a shared library that is no component library", fileBytes(builtFile(QStringLiteral("libformkit.so"))),
         notComponent + QStringLiteral("DllCanUnloadNow, DllGetClassObject, DllRegisterServer, DllUnregisterServer")},
        {"a library without DllGetClassObject", withoutClassObject, notComponent + QStringLiteral("DllGetClassObject")},
    };
}

// Writes bytes over a file, which keeps its permissions.
inline void overwriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
}

inline const fk::com::LibraryFile* loadLibrary(const QString& path)
{
    QString reason;
    const fk::com::LibraryFile* library = fk::com::LibraryFile::load(path, &reason);
    if (!library)
        ADD_FAILURE() << "cannot load " << path.toStdString() << ": " << reason.toStdString();
    return library;
}

} // namespace testing_support
