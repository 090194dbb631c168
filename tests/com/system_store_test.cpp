// The system store: what packages register for every user of the machine. Activation asks
// the user's store first and the system's after it; `regsvr --system` writes the system
// store and nothing else; a machine without a system store is an ordinary machine.
#include "support/library_support.h"

#include "com/activation.h"
#include "core/runtime_error.h"

#include <QJsonObject>
#include <grp.h>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;
using namespace fk::com;

namespace {

// The tests of this program never see the machine's own system store: unless the caller
// chose one, they all get a system store that does not exist.
class NoMachineSystemStore : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsSet("FORMKIT_SYSTEM_REGISTRY"))
            return;
        folder_ = std::make_unique<QTemporaryDir>();
        qputenv("FORMKIT_SYSTEM_REGISTRY", QFile::encodeName(folder_->path() + QStringLiteral("/none/registry.json")));
    }

private:
    std::unique_ptr<QTemporaryDir> folder_;
};
[[maybe_unused]] ::testing::Environment* const noMachineSystemStore =
    ::testing::AddGlobalTestEnvironment(new NoMachineSystemStore);

// A system store of the test's own, in a folder that does not exist until something is
// registered in it; the process and the tools it starts use it.
class TestSystemRegistry {
public:
    TestSystemRegistry()
        : previous_(qgetenv("FORMKIT_SYSTEM_REGISTRY"))
    {
        EXPECT_TRUE(dir_.isValid());
        path_ = QFileInfo(dir_.path()).canonicalFilePath() + QStringLiteral("/var/lib/formkit/registry.json");
        qputenv("FORMKIT_SYSTEM_REGISTRY", QFile::encodeName(path_));
    }
    ~TestSystemRegistry() { qputenv("FORMKIT_SYSTEM_REGISTRY", previous_); }

    const QString& path() const { return path_; }
    QString folder() const { return QFileInfo(path_).absolutePath(); }
    // The test's own folder, under which the store's folders are made.
    QString root() const { return QFileInfo(dir_.path()).canonicalFilePath(); }
    QByteArray bytes() const
    {
        QFile file(path_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void write(const QByteArray& contents) const
    {
        ASSERT_TRUE(QDir().mkpath(folder()));
        QFile file(path_);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(contents);
    }

private:
    QByteArray previous_;
    QTemporaryDir dir_;
    QString path_;
};

std::optional<Registry::ClassEntry> buttonIn(const QString& store)
{
    QString error;
    auto entry = Registry(store).findProgId(kButtonProgId, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return entry;
}

// Another vendor's class, already in a store.
const QByteArray kOtherVendor = R"({
    "format": "formkit registry",
    "version": 1,
    "classes": {
        "{11111111-2222-3333-4444-555555555555}": {"name": "dial", "progId": "Other.dial",
            "library": "/opt/other/Other.ocx", "control": true, "miscStatus": "0x00000001",
            "typeLibrary": "{66666666-7777-8888-9999-AAAAAAAAAAAA}", "typeLibraryVersion": "1.0"}
    },
    "progIds": {"Other.dial": "{11111111-2222-3333-4444-555555555555}"},
    "typeLibraries": {},
    "interfaces": {}
})";

TEST(SystemStore, ActivationAsksTheUsersStoreFirstThenTheSystems)
{
    TestRegistry user;
    TestSystemRegistry system;
    setProgramManifest({}, user.folder());

    // Neither store exists: the class is simply not registered, and the error names both
    // places it was looked for.
    QString reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(QStringLiteral("not registered"))) << reason.toStdString();
    EXPECT_TRUE(reason.contains(user.path())) << reason.toStdString();
    EXPECT_TRUE(reason.contains(system.path())) << reason.toStdString();
    EXPECT_LT(reason.indexOf(user.path()), reason.indexOf(system.path())) << reason.toStdString();

    // Installed for everyone: found by ProgID and by class identity with nothing in the
    // user's store.
    QTemporaryDir installed;
    const QString systemCopy = copyOfLibrary(installed.path());
    const ToolRun added = runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), systemCopy});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_TRUE(added.out.contains(QFile::encodeName(system.path()))) << added.out.toStdString();
    EXPECT_FALSE(QFile::exists(user.path())) << "--system leaves the user's store alone";
    EXPECT_TRUE(createObject(kButtonProgId));
    EXPECT_TRUE(createObject(QString::fromLatin1(kButtonClass)));

    // The user's own registration comes first: with its file gone, activation fails on it
    // instead of falling back to the installed one, and says which store named it.
    QTemporaryDir own;
    const QString userCopy = copyOfLibrary(own.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {userCopy}).exitCode, 0);
    ASSERT_TRUE(QFile::remove(userCopy));
    reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(userCopy + QStringLiteral("' does not exist"))) << reason.toStdString();
    EXPECT_TRUE(reason.contains(user.path())) << reason.toStdString();

    // So does a damaged user store: which library the user meant cannot be told from it.
    user.write("{\"classes\": {\"{8DDE02C5-");
    reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(user.path() + QStringLiteral("' is damaged"))) << reason.toStdString();

    // Without the user's entries the installed registration serves again.
    ASSERT_TRUE(QFile::remove(user.path()));
    EXPECT_TRUE(createObject(kButtonProgId));

    // A damaged system store is reported as such, not taken for an empty one.
    system.write("not JSON");
    reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(system.path() + QStringLiteral("' is damaged"))) << reason.toStdString();
}

TEST(SystemStore, RegsvrSystemChangesOnlyItsOwnEntriesInTheSystemStore)
{
    TestRegistry user;
    TestSystemRegistry system;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());

    // The user has registered the library for themselves; another vendor is installed.
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {library}).exitCode, 0);
    const QByteArray userStore = user.bytes();
    system.write(kOtherVendor);
    const QJsonObject otherVendor = QJsonDocument::fromJson(kOtherVendor).object();

    const ToolRun added = runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), library});
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    const auto found = buttonIn(system.path());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->libraryPath, library);
    QJsonObject store = QJsonDocument::fromJson(system.bytes()).object();
    EXPECT_EQ(store[QStringLiteral("classes")].toObject().size(), 2);
    EXPECT_TRUE(store[QStringLiteral("typeLibraries")].toObject().contains(QString::fromLatin1(kTypeLibrary)));
    EXPECT_TRUE(store[QStringLiteral("interfaces")].toObject().contains(QString::fromLatin1(kButtonInterface)));
    EXPECT_EQ(user.bytes(), userStore);

    // The options go in either order.
    const ToolRun removed = runTool(QStringLiteral("regsvr"), {QStringLiteral("-u"), QStringLiteral("--system"), library});
    ASSERT_EQ(removed.exitCode, 0) << removed.err.toStdString();
    EXPECT_TRUE(removed.out.contains(QFile::encodeName(system.path()))) << removed.out.toStdString();
    EXPECT_FALSE(buttonIn(system.path()));
    store = QJsonDocument::fromJson(system.bytes()).object();
    for (const char* section : {"classes", "progIds", "typeLibraries", "interfaces"})
        EXPECT_EQ(store[QLatin1String(section)], otherVendor[QLatin1String(section)]) << section;
    EXPECT_EQ(user.bytes(), userStore) << "the user's registration stays";
    EXPECT_TRUE(buttonIn(user.path()));

    // A damaged system store refuses the change and keeps its contents.
    system.write("{\"classes\": [");
    const ToolRun refused = runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), library});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains(system.path() + QStringLiteral("' is damaged"))) << refused.err.toStdString();
    EXPECT_EQ(system.bytes(), QByteArray("{\"classes\": ["));

    for (const QStringList& args : {QStringList{QStringLiteral("--system")}, QStringList{QStringLiteral("--system"), QStringLiteral("--system"), library},
                                    QStringList{QStringLiteral("--sys"), library}, QStringList{QStringLiteral("-u"), QStringLiteral("-u"), library}}) {
        const ToolRun run = runTool(QStringLiteral("regsvr"), args);
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("regsvr --system [-u] FILE"))) << run.err.toStdString();
    }
}

TEST(SystemStore, AMissingSystemStoreIsNoError)
{
    TestRegistry user;
    TestSystemRegistry system;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());

    // Removing from a store that is not there (a package removed after the store was
    // deleted) succeeds and makes nothing.
    const ToolRun removed = runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), QStringLiteral("-u"), library});
    EXPECT_EQ(removed.exitCode, 0) << removed.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(system.folder()));

    // The user's registration works as ever.
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {library}).exitCode, 0);
    setProgramManifest({}, user.folder());
    EXPECT_TRUE(createObject(kButtonProgId));

    // Registering makes the store and its folders.
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), library}).exitCode, 0);
    EXPECT_TRUE(buttonIn(system.path()));
}

TEST(SystemStore, RegsvrSaysWhyItCannotWriteTheSystemStoreAndChangesNothing)
{
    TestRegistry user;
    TestSystemRegistry system;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());

    // A store whose folder cannot be made, for root as for anyone.
    QFile blocker(folder.path() + QStringLiteral("/blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("FORMKIT_SYSTEM_REGISTRY", QFile::encodeName(blocker.fileName() + QStringLiteral("/formkit/registry.json")));
    const ToolRun blocked = runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), library});
    EXPECT_EQ(blocked.exitCode, 1);
    EXPECT_TRUE(blocked.err.contains(blocker.fileName() + QStringLiteral("/formkit"))) << blocked.err.toStdString();
    EXPECT_FALSE(QFile::exists(user.path()));
    qputenv("FORMKIT_SYSTEM_REGISTRY", QFile::encodeName(system.path()));

    // A store in a folder this user may not write, as the real one is for everyone but root.
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any folder";
    system.write(kOtherVendor);
    ASSERT_TRUE(QFile::setPermissions(system.folder(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    const ToolRun denied = runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), library});
    QFile::setPermissions(system.folder(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_EQ(denied.exitCode, 1);
    EXPECT_TRUE(denied.err.contains(system.path())) << denied.err.toStdString();
    EXPECT_TRUE(denied.err.contains(QStringLiteral("permission denied"))) << denied.err.toStdString();
    EXPECT_TRUE(denied.err.contains(QStringLiteral("as root"))) << denied.err.toStdString();
    EXPECT_EQ(system.bytes(), kOtherVendor);
}

// A user who is neither root nor the tests' own.
constexpr uid_t kOtherUser = 65534;

// A file's permissions in octal, as ls and chmod write them.
std::string modeOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return "missing";
    return QString::number(info.st_mode & 07777, 8).toStdString();
}

// What another user is told who looks for the button in a store: "found", "not registered"
// or the error. Asked in a child process that has become that user (which needs root).
QString lookupAsOtherUser(const QString& store)
{
    int channel[2];
    if (::pipe(channel) != 0)
        return QStringLiteral("no pipe to the child");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        QString answer = QStringLiteral("cannot become user %1").arg(kOtherUser);
        if (::setgroups(0, nullptr) == 0 && ::setgid(kOtherUser) == 0 && ::setuid(kOtherUser) == 0) {
            QString error;
            const bool found = Registry(store).findProgId(kButtonProgId, &error).has_value();
            answer = found ? QStringLiteral("found") : error.isEmpty() ? QStringLiteral("not registered") : error;
        }
        const QByteArray text = answer.toUtf8();
        const bool written = ::write(channel[1], text.constData(), static_cast<std::size_t>(text.size())) == text.size();
        ::_exit(written ? 0 : 1);
    }
    ::close(channel[1]);
    QByteArray text;
    char buffer[1024];
    for (ssize_t got; (got = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, got);
    ::close(channel[0]);
    ::waitpid(child, nullptr, 0);
    return QString::fromUtf8(text);
}

TEST(SystemStore, EveryUserReadsTheSystemStoreWhateverRootsUmask)
{
    TestRegistry user;
    TestSystemRegistry system;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());

    // Root's umask lets no one else read what it makes; the system store is still for all.
    const mode_t umask = ::umask(077);
    const ToolRun added = runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), library});
    ::umask(umask);
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    for (QString made = system.folder(); made != system.root(); made = QFileInfo(made).absolutePath())
        EXPECT_EQ(modeOf(made), "755") << made.toStdString();
    EXPECT_EQ(modeOf(system.path()), "644");

    if (::geteuid() != 0)
        GTEST_SKIP() << "reading the store as another user needs root to become one";
    // The test's own folder is root's alone; the way to the store opens to the other user.
    ASSERT_EQ(::chmod(QFile::encodeName(system.root()).constData(), 0755), 0);
    EXPECT_EQ(lookupAsOtherUser(system.path()).toStdString(), "found");

    // A store the other user cannot even look at is an error of its own, not an empty store.
    ASSERT_EQ(::chmod(QFile::encodeName(system.folder()).constData(), 0700), 0);
    const QString answer = lookupAsOtherUser(system.path());
    EXPECT_TRUE(answer.startsWith(QStringLiteral("the registry '%1' cannot be examined: ").arg(system.path())))
        << answer.toStdString();
}

// Records what formkit.registry warns of while it lives.
class RegistryWarnings {
public:
    RegistryWarnings() : previous_(qInstallMessageHandler(record)) { recording() = this; }
    ~RegistryWarnings()
    {
        qInstallMessageHandler(previous_);
        recording() = nullptr;
    }
    RegistryWarnings(const RegistryWarnings&) = delete;
    RegistryWarnings& operator=(const RegistryWarnings&) = delete;

    QString all() const { return lines_.join(QLatin1Char('\n')); }

private:
    static RegistryWarnings*& recording()
    {
        static RegistryWarnings* current = nullptr;
        return current;
    }
    static void record(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        if (type == QtWarningMsg && qstrcmp(context.category, "formkit.registry") == 0)
            recording()->lines_ << message;
    }

    QtMessageHandler previous_;
    QStringList lines_;
};

TEST(SystemStore, RootTakesClassesOnlyFromStoresThatRootAloneCanWrite)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only a process running as root passes over stores that others can write";
    TestRegistry user;
    TestSystemRegistry system;
    setProgramManifest({}, user.folder());
    QTemporaryDir own;
    const QString userCopy = copyOfLibrary(own.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {userCopy}).exitCode, 0);
    // A store of root's own, in a folder of root's own, is taken.
    EXPECT_EQ(reasonCreating(kButtonProgId), QStringLiteral("(created)"));

    const QByteArray file = QFile::encodeName(user.path());
    const QByteArray folder = QFile::encodeName(user.folder());
    const struct {
        const char* change;
        uid_t fileOwner, folderOwner;
        mode_t fileMode, folderMode;
        QString why;
    } cases[] = {
        {"the file is another user's", kOtherUser, 0, 0644, 0700, QStringLiteral("it belongs to user 65534")},
        {"others can write the file", 0, 0, 0666, 0700, QStringLiteral("other users can write it")},
        {"the folder is another user's", 0, kOtherUser, 0644, 0700,
         QStringLiteral("its folder '%1' belongs to user 65534").arg(user.folder())},
        {"others can write the folder", 0, 0, 0644, 0777, QStringLiteral("other users can write its folder '%1'").arg(user.folder())},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.change);
        RegistryWarnings warnings;
        ASSERT_EQ(::chown(file.constData(), c.fileOwner, c.fileOwner), 0);
        ASSERT_EQ(::chown(folder.constData(), c.folderOwner, c.folderOwner), 0);
        ASSERT_EQ(::chmod(file.constData(), c.fileMode), 0);
        ASSERT_EQ(::chmod(folder.constData(), c.folderMode), 0);
        // The library it names is not loaded: the class is not registered as far as root goes.
        const QString reason = reasonCreating(kButtonProgId);
        EXPECT_TRUE(reason.contains(QStringLiteral("the class is not registered"))) << reason.toStdString();
        EXPECT_TRUE(warnings.all().contains(QStringLiteral("skipped the registry '%1': %2").arg(user.path(), c.why)))
            << warnings.all().toStdString();
    }

    // The system store, root's alone, still serves after the user's store is passed over.
    QTemporaryDir installed;
    const QString systemCopy = copyOfLibrary(installed.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {QStringLiteral("--system"), systemCopy}).exitCode, 0);
    QString error;
    const auto entry = Registry::locate(kButtonProgId, &error);
    ASSERT_TRUE(entry) << error.toStdString();
    EXPECT_EQ(entry->store, system.path());
    EXPECT_EQ(entry->libraryPath, systemCopy);
    EXPECT_TRUE(createObject(kButtonProgId));
    ASSERT_EQ(::chown(folder.constData(), 0, 0), 0);
    ASSERT_EQ(::chown(file.constData(), 0, 0), 0);
}

TEST(SystemStore, LivesWhereTheMachineSaysOrInVarLib)
{
    const QByteArray previous = qgetenv("FORMKIT_SYSTEM_REGISTRY");
    qputenv("FORMKIT_REGISTRY", "/srv/user/registry.json");
    qunsetenv("FORMKIT_SYSTEM_REGISTRY");
    EXPECT_EQ(Registry::systemLocation(), QStringLiteral("/var/lib/formkit/registry.json"));
    EXPECT_EQ(Registry::searchOrder(), (QStringList{QStringLiteral("/srv/user/registry.json"), QStringLiteral("/var/lib/formkit/registry.json")}));
    qputenv("FORMKIT_SYSTEM_REGISTRY", "/srv/machine/registry.json");
    EXPECT_EQ(Registry::systemLocation(), QStringLiteral("/srv/machine/registry.json"));
    qputenv("FORMKIT_SYSTEM_REGISTRY", "/srv/user/registry.json");
    EXPECT_EQ(Registry::searchOrder(), QStringList{QStringLiteral("/srv/user/registry.json")}) << "one file is asked once";
    qputenv("FORMKIT_SYSTEM_REGISTRY", previous);
    qunsetenv("FORMKIT_REGISTRY");
}

} // namespace
