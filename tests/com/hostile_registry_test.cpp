// Hostile registry stores from the corpus in tests/hostile/registry: cut short, not JSON,
// nested past any sense, another program's JSON, the wrong JSON types where the registry
// looks, entries that lead to files no library could be. Each makes creation fail with error 429 that names the
// class and the reason; none of them crashes or hangs the host, and none of them is
// changed by the attempt, so the user can still repair what was there.
#include "support/library_support.h"

#include "com/activation.h"
#include "com/library.h"
#include "core/runtime_error.h"

#include <QDir>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace testing_support;
using namespace fk::com;

namespace {

QByteArray corpusFile(const QString& name) { return hostileCorpusFile(QStringLiteral("registry"), name); }


struct HostileStore {
    const char* file;
    const char* reason;
    // A store the registry cannot read at all is also refused for registration; an entry
    // that is merely wrong is replaced by registering again.
    bool unreadable;
};

const HostileStore kStores[] = {
    {"cut-short.json", "is damaged", true},
    {"not-json.json", "is damaged", true},
    {"nested-deep.json", "is damaged", true},
    {"null.json", "is damaged", true},
    {"format-number.json", "is not a formkit registry", true},
    // Another program's settings, or an empty object: JSON, but no store.
    {"not-a-store.json", "is not a formkit registry: it has no \"format\" key", true},
    {"empty-object.json", "is not a formkit registry: it has no \"format\" key", true},
    {"version-text.json", "unknown format version", true},
    {"progids-list.json", "\"progIds\" is not an object", true},
    {"progid-number.json", "names no class identity", false},
    {"class-text.json", "names no library file", false},
    {"library-list.json", "names no library file", false},
    {"library-empty.json", "names no library file", false},
    {"library-null.json", "names no library file", false},
    {"library-relative.json", "'../lib/Lumakey.ocx' is not absolute", false},
    {"library-missing.json", "does not exist", false},
    {"library-long-name.json", "does not exist", false},
    {"library-root-folder.json", "'/' is not a regular file", false},
    {"library-device.json", "'/dev/zero' is not a regular file", false},
    {"blank.json", "not registered", false},
};

TEST(HostileRegistry, EveryStoreOfTheCorpusIsAClearErrorAndStaysAsItWas)
{
    TestRegistry registry;
    setProgramManifest({}, registry.folder());
    for (const HostileStore& store : kStores) {
        SCOPED_TRACE(store.file);
        const QByteArray contents = corpusFile(QString::fromLatin1(store.file));
        ASSERT_FALSE(contents.isEmpty());
        registry.write(contents);
        const QString reason = reasonCreating(kButtonProgId);
        EXPECT_TRUE(reason.startsWith(QStringLiteral("Cannot create object 'Lumakey.btn'"))) << reason.toStdString();
        EXPECT_TRUE(reason.contains(QLatin1String(store.reason))) << reason.toStdString();
        if (store.unreadable) {
            EXPECT_TRUE(reason.contains(registry.path())) << "says which file is damaged: " << reason.toStdString();
        }
        // By class identity the same store fails the same way, or finds no class.
        const QString byClass = reasonCreating(QString::fromLatin1(kButtonClass));
        EXPECT_NE(byClass, QStringLiteral("(created)"));
        EXPECT_EQ(registry.bytes(), contents) << "creating reads the store, never writes it";
    }
}

TEST(HostileRegistry, AnUnreadableStoreRefusesRegistrationAndKeepsEveryByte)
{
    TestRegistry registry;
    const LibraryFile* library = loadLibrary(builtFile(QStringLiteral("Lumakey.ocx")));
    ASSERT_TRUE(library);
    const auto registerServer = entryOf<RegistrationEntry>(library, "DllRegisterServer");
    const auto unregisterServer = entryOf<RegistrationEntry>(library, "DllUnregisterServer");
    for (const HostileStore& store : kStores) {
        if (!store.unreadable)
            continue;
        SCOPED_TRACE(store.file);
        const QByteArray contents = corpusFile(QString::fromLatin1(store.file));
        registry.write(contents);
        EXPECT_NE(registerServer(), S_OK);
        EXPECT_TRUE(registrationError().contains(registry.path())) << registrationError().toStdString();
        EXPECT_NE(unregisterServer(), S_OK);
        EXPECT_EQ(registry.bytes(), contents) << "the damaged store is left for the user to repair";
        EXPECT_FALSE(QFile::exists(registry.path() + QStringLiteral(".lock"))) << "no lock is left behind";
    }
}

TEST(HostileRegistry, AWrongEntryIsReplacedByRegisteringAgainAndTheRestIsKept)
{
    TestRegistry registry;
    setProgramManifest({}, registry.folder());
    const LibraryFile* library = loadLibrary(builtFile(QStringLiteral("Lumakey.ocx")));
    ASSERT_TRUE(library);
    const auto registerServer = entryOf<RegistrationEntry>(library, "DllRegisterServer");
    for (const char* file : {"class-text.json", "library-relative.json", "progid-number.json"}) {
        SCOPED_TRACE(file);
        QJsonObject store = QJsonDocument::fromJson(corpusFile(QString::fromLatin1(file))).object();
        ASSERT_FALSE(store.isEmpty());
        // Someone else's class, which must survive the repair.
        store[QStringLiteral("progIds")] = [&] {
            QJsonObject ids = store.value(QStringLiteral("progIds")).toObject();
            ids[QStringLiteral("Other.thing")] = QStringLiteral("{11111111-2222-3333-4444-555555555555}");
            return ids;
        }();
        registry.write(QJsonDocument(store).toJson());
        ASSERT_EQ(registerServer(), S_OK) << registrationError().toStdString();
        EXPECT_TRUE(createObject(kButtonProgId)) << "registering again repairs the entry";
        EXPECT_EQ(registry.json().value(QStringLiteral("progIds")).toObject().value(QStringLiteral("Other.thing")).toString(),
                  QStringLiteral("{11111111-2222-3333-4444-555555555555}"));
    }
}

TEST(HostileRegistry, AStoreThatIsAFolderIsAClearError)
{
    TestRegistry registry;
    setProgramManifest({}, registry.folder());
    ASSERT_TRUE(QDir().mkdir(registry.path()));
    const QString reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(registry.path())) << reason.toStdString();
    EXPECT_TRUE(reason.contains(QStringLiteral("is not a regular file"))) << reason.toStdString();
    EXPECT_TRUE(QFileInfo(registry.path()).isDir()) << "and it is left alone";
}

TEST(HostileRegistry, AStoreThatIsAPipeIsAClearErrorNotAWaitForever)
{
    TestRegistry registry;
    setProgramManifest({}, registry.folder());
    ASSERT_EQ(::mkfifo(QFile::encodeName(registry.path()).constData(), 0600), 0);
    // Opening the pipe for reading would wait for a writer that never comes.
    const QString reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(QStringLiteral("is not a regular file"))) << reason.toStdString();
}

TEST(HostileRegistry, ALibraryPathWithANulInsideIsNeverCutShortToAnotherFile)
{
    // The entry names "<a real library>\0.txt": a file that does not exist. Cut at the NUL,
    // the name would lead to the real library instead.
    TestRegistry registry;
    setProgramManifest({}, registry.folder());
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());
    QByteArray contents = corpusFile(QStringLiteral("library-nul-inside.json"));
    contents.replace("@LIBRARY@", library.toUtf8());
    registry.write(contents);
    const QString reason = reasonCreating(kButtonProgId);
    EXPECT_NE(reason, QStringLiteral("(created)")) << "the library named without its ending was loaded";
    EXPECT_TRUE(reason.contains(kButtonProgId)) << reason.toStdString();
}

} // namespace
