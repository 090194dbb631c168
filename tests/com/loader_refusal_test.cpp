// A registry entry leads to a library file only through the library loader's checks: a
// file someone else could have put or changed there is refused, and the host is told
// which class could not be made and why.
#include "support/library_support.h"

#include "com/activation.h"
#include "core/runtime_error.h"

#include <QDir>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;
using namespace fk::com;

namespace {


// A copy of the library, registered by the registration tool (another process, so that
// this one has loaded nothing yet), for a host without a manifest.
class RegisteredCopy : public ::testing::Test {
protected:
    void SetUp() override
    {
        setProgramManifest({}, registry.folder());
        library = copyOfLibrary(folder.path());
        const ToolRun run = runTool(QStringLiteral("regsvr"), {library});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }

    void expectRefused(const QString& because)
    {
        for (const QString& name : {QString(kButtonProgId), QString::fromLatin1(kButtonClass)}) {
            const QString reason = reasonCreating(name);
            EXPECT_TRUE(reason.startsWith(QStringLiteral("Cannot create object '%1'").arg(name))) << reason.toStdString();
            EXPECT_TRUE(reason.contains(because)) << reason.toStdString();
        }
    }

    TestRegistry registry;
    QTemporaryDir folder;
    QString library;
};

TEST_F(RegisteredCopy, IsCreatedWhileItStaysAsRegistered)
{
    EXPECT_TRUE(createObject(kButtonProgId));
}

TEST_F(RegisteredCopy, IsRefusedOnceOtherUsersCanWriteIt)
{
    ASSERT_EQ(::chmod(QFile::encodeName(library).constData(), 0666), 0);
    expectRefused(QStringLiteral("can be written by other users"));
    ASSERT_EQ(::chmod(QFile::encodeName(library).constData(), 0775), 0);
    expectRefused(QStringLiteral("can be written by other users"));
}

TEST_F(RegisteredCopy, IsRefusedWhenASymbolicLinkTakesItsPlace)
{
    const QString elsewhere = folder.path() + QStringLiteral("/elsewhere.ocx");
    ASSERT_TRUE(QFile::rename(library, elsewhere));
    ASSERT_TRUE(QFile::link(elsewhere, library));
    expectRefused(QStringLiteral("is a symbolic link"));
}

TEST_F(RegisteredCopy, IsRefusedWhenAFolderOnItsPathIsALink)
{
    // The path as registered still leads to the file, but through a link: not canonical.
    QTemporaryDir other;
    const QString realFolder = QFileInfo(other.path()).canonicalFilePath() + QStringLiteral("/real");
    ASSERT_TRUE(QDir().rename(folder.path(), realFolder));
    ASSERT_TRUE(QFile::link(realFolder, QFileInfo(library).absolutePath()));
    expectRefused(QStringLiteral("is not canonical"));
    QFile::remove(QFileInfo(library).absolutePath());
    QDir().rename(realFolder, folder.path());
}

TEST_F(RegisteredCopy, IsRefusedWhenItIsNotARegularFile)
{
    ASSERT_TRUE(QFile::remove(library));
    ASSERT_TRUE(QDir().mkdir(library));
    expectRefused(QStringLiteral("is not a regular file"));
}

TEST_F(RegisteredCopy, IsRefusedForWhatItHoldsBeforeAnyOfItIsLoaded)
{
    for (const RefusedContents& refused : contentsTheLoaderRefuses()) {
        SCOPED_TRACE(refused.what);
        overwriteFile(library, refused.bytes);
        expectRefused(library + refused.reasonEnd);
    }
    // The file as built is taken again.
    overwriteFile(library, fileBytes(builtFile(QStringLiteral("Lumakey.ocx"))));
    EXPECT_TRUE(createObject(kButtonProgId));
}

TEST(LoaderRefusal, ALibraryInTheCurrentFolderOnlyIsNeverLoaded)
{
    TestRegistry registry;
    setProgramManifest({}, registry.folder());
    QTemporaryDir folder;
    copyOfLibrary(folder.path());
    // An entry that names the file without a folder, as if the current folder would do.
    registry.write(R"({"format": "formkit registry", "progIds": {"Lumakey.btn": "{8DDE02C5-207C-4592-8B6F-0F84159237E0}"},
        "classes": {"{8DDE02C5-207C-4592-8B6F-0F84159237E0}": {"library": "Lumakey.ocx"}}})");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    const QString reason = reasonCreating(kButtonProgId);
    QDir::setCurrent(previous);
    EXPECT_TRUE(reason.contains(kButtonProgId)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("'Lumakey.ocx' is not absolute"))) << reason.toStdString();
}

TEST(LoaderRefusal, RegistrationToolRefusesAFileOthersCanWrite)
{
    TestRegistry registry;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());
    ASSERT_EQ(::chmod(QFile::encodeName(library).constData(), 0666), 0);
    const ToolRun run = runTool(QStringLiteral("regsvr"), {library});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral("can be written by other users"))) << run.err.toStdString();
    EXPECT_FALSE(QFile::exists(registry.path())) << "nothing was registered";
}

} // namespace
