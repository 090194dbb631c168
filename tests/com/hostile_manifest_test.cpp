// Hostile program manifests from the corpus in tests/hostile/manifest: no manifest, text
// that is not one, names that lead out of the program's folder (upwards, through a link,
// as an absolute path, as the folder itself), an empty file name, entity bombs. Each makes
// creation fail with error 429 naming the class and the reason, and loads nothing from
// outside the program's folder; the program's next good manifest works as before.
#include "support/library_support.h"

#include "com/activation.h"
#include "core/runtime_error.h"

#include <QDir>
#include <QTemporaryDir>

using namespace testing_support;
using namespace fk::com;

namespace {

QByteArray corpusFile(const QString& name) { return hostileCorpusFile(QStringLiteral("manifest"), name); }

// A program's folder with a copy of the library in it, and an empty registry, so that only
// the manifest can lead to a library.
class HostileManifest : public ::testing::Test {
protected:
    void SetUp() override
    {
        programDir = QFileInfo(program.path()).canonicalFilePath();
        copyOfLibrary(programDir);
        // Another copy outside the program's folder, reachable from inside by a link.
        copyOfLibrary(outside.path());
        ASSERT_TRUE(QFile::link(QFileInfo(outside.path()).canonicalFilePath(), programDir + QStringLiteral("/lib")));
    }

    QString reasonWith(const QByteArray& manifest)
    {
        setProgramManifest(manifest, programDir);
        return reasonCreating(kButtonProgId);
    }

    TestRegistry registry;
    QTemporaryDir program;
    QTemporaryDir outside;
    QString programDir;
};

TEST_F(HostileManifest, EveryManifestOfTheCorpusIsAClearError)
{
    const struct {
        const char* file;
        const char* reason;
    } cases[] = {
        {"outside-parent.xml", "names library '../Lumakey.ocx' outside the program's folder"},
        {"outside-through-subfolder.xml", "names library 'sub/../../Lumakey.ocx' outside the program's folder"},
        {"the-folder-itself.xml", "names library '.' outside the program's folder"},
        {"through-link.xml", "is not canonical"},
        {"missing-file.xml", "missing.ocx' does not exist"},
        {"empty-file-name.xml", "the program's manifest is damaged (manifest line 2: a library without a file)"},
        {"bad-class-id.xml", "the program's manifest is damaged (manifest line 3: a class needs a valid id"},
        {"class-outside-library.xml", "the program's manifest is damaged (manifest line 2: a class needs a valid id"},
        {"mismatched-tags.xml", "the program's manifest is damaged (manifest line 4"},
        {"cut-short.xml", "the program's manifest is damaged"},
        {"wrong-root.xml", "the program's manifest is damaged (manifest has no <manifest> element)"},
        {"not-xml.xml", "the program's manifest is damaged"},
        {"entity-expansion.xml", "the program's manifest is damaged"},
        {"external-entity.xml", "the program's manifest is damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const QString reason = reasonWith(corpusFile(QString::fromLatin1(c.file)));
        EXPECT_TRUE(reason.startsWith(QStringLiteral("Cannot create object 'Lumakey.btn'"))) << reason.toStdString();
        EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
    }
    // Nothing of the above spoils the next manifest.
    setProgramManifest(buttonManifest(), programDir);
    EXPECT_TRUE(createObject(kButtonProgId));
}

TEST_F(HostileManifest, AnAbsolutePathIsRefusedEvenWhenItNamesAGoodLibrary)
{
    QByteArray manifest = corpusFile(QStringLiteral("absolute-path.xml"));
    const QString elsewhere = QFileInfo(outside.path()).canonicalFilePath() + QStringLiteral("/Lumakey.ocx");
    manifest.replace("@ABSOLUTE@", elsewhere.toUtf8());
    const QString reason = reasonWith(manifest);
    EXPECT_TRUE(reason.contains(QStringLiteral("names library '%1' outside the program's folder").arg(elsewhere)))
        << reason.toStdString();
    // By its plain name the copy in the program's folder is found.
    setProgramManifest(buttonManifest(), programDir);
    EXPECT_TRUE(createObject(kButtonProgId));
}

TEST_F(HostileManifest, NoManifestOrOneWithoutTheClassLeavesOnlyTheRegistry)
{
    for (const QByteArray& manifest : {QByteArray(), QByteArray("<manifest/>"),
                                       QByteArray("<manifest><library file=\"Lumakey.ocx\"/></manifest>")}) {
        SCOPED_TRACE(manifest.toStdString());
        const QString reason = reasonWith(manifest);
        EXPECT_TRUE(reason.contains(QStringLiteral("not registered"))) << reason.toStdString();
        EXPECT_TRUE(reason.contains(registry.path())) << "says where it looked: " << reason.toStdString();
    }
}

TEST_F(HostileManifest, AHugeManifestIsReadToTheEnd)
{
    // Ten thousand classes that do not exist, then the button's: found, and created.
    QByteArray manifest = "<manifest>\n";
    for (int i = 0; i < 10000; ++i)
        manifest += QStringLiteral("<library file=\"none%1.ocx\"><class id=\"{00000000-0000-0000-0000-%2}\" progid=\"None.%1\"/></library>\n")
                        .arg(i)
                        .arg(i, 12, 10, QLatin1Char('0'))
                        .toUtf8();
    manifest += buttonManifest().mid(QByteArray("<manifest>").size());
    setProgramManifest(manifest, programDir);
    EXPECT_TRUE(createObject(kButtonProgId));
    const QString reason = reasonCreating(QStringLiteral("None.9999"));
    EXPECT_TRUE(reason.contains(QStringLiteral("none9999.ocx' does not exist"))) << reason.toStdString();
}

} // namespace
