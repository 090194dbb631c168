// The registry store under pressure: writers in several processes at once, writers killed
// half-way, and what they leave behind (stale locks, temporary files). Readers must always
// find either the old or the new store, and no registration may get lost.
#include "support/library_support.h"

#include "com/library.h"
#include "com/store_file.h"
#include "com/type_info.h"

#include <QElapsedTimer>
#include <QLockFile>
#include <algorithm>
#include <array>
#include <atomic>
#include <csignal>
#include <memory>
#include <random>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;
using namespace fk::com;

namespace {

// Watches the folder of one store for flushes of the folder itself, noting what the store
// held at each: a flush that makes a rename last comes after the rename, when the store
// already holds the new contents.
class FolderFlushWatch {
public:
    FolderFlushWatch(const QString& folder, const QString& store)
        : store_(store)
    {
        EXPECT_EQ(::stat(QFile::encodeName(folder).constData(), &folder_), 0);
        watching() = this;
    }
    ~FolderFlushWatch() { watching() = nullptr; }
    FolderFlushWatch(const FolderFlushWatch&) = delete;
    FolderFlushWatch& operator=(const FolderFlushWatch&) = delete;

    // What the store held at each flush of its folder, in order.
    const QList<QByteArray>& storeAtEachFlush() const { return flushes_; }

    static std::atomic<FolderFlushWatch*>& watching()
    {
        static std::atomic<FolderFlushWatch*> watch{nullptr};
        return watch;
    }

    void noteFlush(int fd)
    {
        struct stat flushed {};
        if (::fstat(fd, &flushed) != 0 || flushed.st_dev != folder_.st_dev || flushed.st_ino != folder_.st_ino)
            return;
        QFile store(store_);
        flushes_ << (store.open(QIODevice::ReadOnly) ? store.readAll() : QByteArray());
    }

private:
    QString store_;
    struct stat folder_ {};
    QList<QByteArray> flushes_;
};

} // namespace

// Every fsync of this test program comes here first, since a function of the program is
// found before the C library's; it passes the call on unchanged.
extern "C" int fsync(int fd)
{
    if (FolderFlushWatch* watch = FolderFlushWatch::watching())
        watch->noteFlush(fd);
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

namespace {

// A made-up library with one class, one interface and its own type library, numbered so
// that every one has identities and names of its own.
class FakeLibrary {
public:
    explicit FakeLibrary(std::uint32_t number)
        : name_("Fake" + std::to_string(number)), className_("cls" + std::to_string(number)),
          progId_(name_ + ".cls"), interfaceName_("_cls" + std::to_string(number)),
          path_("/opt/fake/" + name_ + ".ocx")
    {
        members_[0] = {"Go", 1, InvokeKind::Method, ValueType::Void, 0};
        interface_ = {interfaceName_.c_str(), identity(0xA0000000u + number), InterfaceDispatchOnly, members_};
        interfaces_[0] = &interface_;
        classes_[0] = {className_.c_str(), identity(0xC0000000u + number), progId_.c_str(), true, 0x1, 0,
                       &interface_, nullptr};
        factories_[0] = {&classes_[0], nullptr};
        typeLibrary_ = {name_.c_str(), name_.c_str(), identity(0x70000000u + number), 1, 0, 0x0409, true, classes_,
                        interfaces_};
        descriptor_ = {&typeLibrary_, factories_, &state_};
    }
    FakeLibrary(const FakeLibrary&) = delete;
    FakeLibrary& operator=(const FakeLibrary&) = delete;

    const LibraryDescriptor& descriptor() const { return descriptor_; }
    QString path() const { return QString::fromStdString(path_); }
    QString progId() const { return QString::fromStdString(progId_); }
    Guid clsid() const { return classes_[0].clsid; }

private:
    static Guid identity(std::uint32_t first) { return Guid{first, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}}; }

    std::string name_, className_, progId_, interfaceName_, path_;
    MemberInfo members_[1]{};
    InterfaceInfo interface_{};
    const InterfaceInfo* interfaces_[1]{};
    ClassInfo classes_[1]{};
    ClassFactoryEntry factories_[1]{};
    TypeLibraryInfo typeLibrary_{};
    LibraryState state_{};
    LibraryDescriptor descriptor_{};
};

// Runs work in a child process; the child ends with _exit so that nothing of the test
// program's own teardown runs twice.
pid_t inChild(const std::function<bool()>& work)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(work() ? 0 : 1);
    return pid;
}

int exitStatusOf(pid_t pid)
{
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool registered(const Registry& registry, const FakeLibrary& library)
{
    QString error;
    const auto entry = registry.findProgId(library.progId(), &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return entry && entry->clsid == library.clsid() && entry->libraryPath == library.path();
}

TEST(RegistryStore, WritersInSeveralProcessesLoseNothing)
{
    TestRegistry test;
    const Registry registry(test.path());
    constexpr int kWriters = 6;
    constexpr int kEach = 12;
    std::vector<std::unique_ptr<FakeLibrary>> libraries;
    for (int i = 0; i < kWriters * kEach; ++i)
        libraries.push_back(std::make_unique<FakeLibrary>(static_cast<std::uint32_t>(i)));

    // Each writer registers its share and then unregisters every third of them again.
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.push_back(inChild([&, w] {
            for (int k = 0; k < kEach; ++k) {
                const FakeLibrary& library = *libraries[static_cast<std::size_t>(w * kEach + k)];
                QString error;
                if (!registry.registerLibrary(library.descriptor(), library.path(), &error))
                    return false;
            }
            for (int k = 0; k < kEach; k += 3) {
                QString error;
                if (!registry.unregisterLibrary(libraries[static_cast<std::size_t>(w * kEach + k)]->descriptor(), &error))
                    return false;
            }
            return true;
        }));
    for (pid_t pid : writers)
        EXPECT_EQ(exitStatusOf(pid), 0);

    QString error;
    const auto store = registry.read(&error);
    ASSERT_TRUE(store) << error.toStdString();
    int expected = 0;
    for (int i = 0; i < kWriters * kEach; ++i) {
        const bool shouldBeThere = (i % kEach) % 3 != 0;
        expected += shouldBeThere;
        EXPECT_EQ(registered(registry, *libraries[static_cast<std::size_t>(i)]), shouldBeThere) << "library " << i;
    }
    EXPECT_EQ((*store)[QStringLiteral("classes")].toObject().size(), expected);
    EXPECT_EQ((*store)[QStringLiteral("typeLibraries")].toObject().size(), expected);
    EXPECT_EQ((*store)[QStringLiteral("interfaces")].toObject().size(), expected);
    EXPECT_FALSE(QFile::exists(test.path() + QStringLiteral(".lock"))) << "the last writer let go of the lock";
}

TEST(RegistryStore, RegistrationToolsRunningTogetherOnCopiesLeaveAWholeStore)
{
    TestRegistry test;
    QTemporaryDir folder;
    constexpr int kCopies = 5;
    std::vector<QString> copies;
    std::vector<std::unique_ptr<QProcess>> tools;
    for (int i = 0; i < kCopies; ++i) {
        const QString subfolder = folder.path() + QStringLiteral("/copy%1").arg(i);
        QDir().mkpath(subfolder);
        copies.push_back(copyOfLibrary(subfolder));
    }
    // Another class is registered throughout and must survive them all.
    const FakeLibrary bystander(999);
    QString error;
    ASSERT_TRUE(Registry(test.path()).registerLibrary(bystander.descriptor(), bystander.path(), &error)) << error.toStdString();

    for (int round = 0; round < 3; ++round) {
        for (const QString& copy : copies) {
            auto process = std::make_unique<QProcess>();
            process->start(builtFile(QStringLiteral("regsvr")), {copy});
            tools.push_back(std::move(process));
        }
    }
    for (const auto& tool : tools) {
        ASSERT_TRUE(tool->waitForFinished(30000));
        EXPECT_EQ(tool->exitCode(), 0) << tool->readAllStandardError().toStdString();
    }
    const auto entry = Registry(test.path()).findProgId(kButtonProgId, &error);
    ASSERT_TRUE(entry) << error.toStdString();
    EXPECT_NE(std::find(copies.begin(), copies.end(), entry->libraryPath), copies.end())
        << "the class names one of the copies, whole: " << entry->libraryPath.toStdString();
    EXPECT_TRUE(registered(Registry(test.path()), bystander));
}

TEST(RegistryStore, AWriterKilledHalfWayLeavesTheOldOrTheNewStore)
{
    TestRegistry test;
    const Registry registry(test.path());
    const FakeLibrary keeper(1);
    const FakeLibrary churn(2);
    QString error;
    ASSERT_TRUE(registry.registerLibrary(keeper.descriptor(), keeper.path(), &error)) << error.toStdString();

    for (int attempt = 0; attempt < 8; ++attempt) {
        // A writer that registers and unregisters as fast as it can, killed without warning.
        const pid_t writer = inChild([&] {
            for (;;) {
                QString e;
                registry.registerLibrary(churn.descriptor(), churn.path(), &e);
                registry.unregisterLibrary(churn.descriptor(), &e);
            }
            return true;
        });
        // Meanwhile every read finds a whole store, with or without the churning class.
        QElapsedTimer running;
        running.start();
        int reads = 0, damaged = 0;
        while (running.elapsed() < 10 + attempt * 3) {
            ++reads;
            if (!registry.read(&error) && ++damaged == 1)
                ADD_FAILURE() << "a reader found: " << error.toStdString();
        }
        ::kill(writer, SIGKILL);
        EXPECT_EQ(exitStatusOf(writer), 128 + SIGKILL);
        EXPECT_EQ(damaged, 0) << "of " << reads << " reads";

        // Whatever the moment of the kill, the store reads whole.
        const auto store = registry.read(&error);
        ASSERT_TRUE(store) << "attempt " << attempt << ": " << error.toStdString();
        EXPECT_TRUE(registered(registry, keeper)) << "attempt " << attempt;

        // The dead writer's lock, if it held it, does not block the next one.
        QElapsedTimer timer;
        timer.start();
        ASSERT_TRUE(registry.unregisterLibrary(churn.descriptor(), &error)) << error.toStdString();
        EXPECT_LT(timer.elapsed(), 8000);
        EXPECT_FALSE(registered(registry, churn));
    }
}

TEST(RegistryStore, AStaleLockAndLeftoverTemporaryFilesAreHarmless)
{
    TestRegistry test;
    const Registry registry(test.path());
    const FakeLibrary first(1);
    const FakeLibrary second(2);
    QString error;
    ASSERT_TRUE(registry.registerLibrary(first.descriptor(), first.path(), &error)) << error.toStdString();
    const QByteArray old = test.bytes();

    // A process that took the lock and died with it.
    const pid_t holder = ::fork();
    if (holder == 0) {
        QLockFile lock(test.path() + QStringLiteral(".lock"));
        // Ends without the lock's destructor, as a crash would.
        ::_exit(lock.tryLock(1000) ? 0 : 1);
    }
    ASSERT_EQ(exitStatusOf(holder), 0);
    ASSERT_TRUE(QFile::exists(test.path() + QStringLiteral(".lock"))) << "the dead process left its lock behind";
    // And a half-written replacement that never got renamed into place.
    QFile leftover(test.path() + QStringLiteral(".Xk3f9a"));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write(old.left(old.size() / 2));
    leftover.close();

    EXPECT_EQ(test.bytes(), old);
    EXPECT_TRUE(registered(registry, first)) << "readers see the old store";
    ASSERT_TRUE(registry.registerLibrary(second.descriptor(), second.path(), &error)) << error.toStdString();
    EXPECT_TRUE(registered(registry, first));
    EXPECT_TRUE(registered(registry, second)) << "the next writer takes over the stale lock";

    // A writer killed after it made the lock file but before it locked it.
    QFile empty(test.path() + QStringLiteral(".lock"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    QElapsedTimer timer;
    timer.start();
    ASSERT_TRUE(registry.unregisterLibrary(first.descriptor(), &error)) << error.toStdString();
    EXPECT_LT(timer.elapsed(), 8000) << "a lock file no one holds is no lock";
    EXPECT_FALSE(registered(registry, first));
    EXPECT_TRUE(registered(registry, second));
}

TEST(RegistryStore, LivesWhereTheUserSaysOrInTheUsersDataFolder)
{
    qunsetenv("FORMKIT_REGISTRY");
    qputenv("XDG_DATA_HOME", "/srv/data-of-someone");
    EXPECT_EQ(Registry::defaultLocation(), QStringLiteral("/srv/data-of-someone/formkit/registry.json"));
    qputenv("XDG_DATA_HOME", "relative/is/ignored");
    EXPECT_EQ(Registry::defaultLocation(), QDir::homePath() + QStringLiteral("/.local/share/formkit/registry.json"));
    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Registry::defaultLocation(), QDir::homePath() + QStringLiteral("/.local/share/formkit/registry.json"));
    qputenv("FORMKIT_REGISTRY", "/srv/tests/registry.json");
    EXPECT_EQ(Registry::defaultLocation(), QStringLiteral("/srv/tests/registry.json"));
    qunsetenv("FORMKIT_REGISTRY");
}

TEST(RegistryStore, ANewStoreGoesIntoAFolderMadeForIt)
{
    QTemporaryDir folder;
    const Registry registry(folder.path() + QStringLiteral("/deeper/still/registry.json"));
    const FakeLibrary library(5);
    QString error;
    EXPECT_TRUE(registry.read(&error)) << "a store that does not exist yet reads as empty";
    ASSERT_TRUE(registry.registerLibrary(library.descriptor(), library.path(), &error)) << error.toStdString();
    EXPECT_TRUE(registered(registry, library));
    ASSERT_TRUE(registry.unregisterLibrary(library.descriptor(), &error)) << error.toStdString();
    EXPECT_FALSE(registered(registry, library));
}

TEST(RegistryStore, RefusesToRecordARelativeLibraryPath)
{
    TestRegistry test;
    const FakeLibrary library(3);
    QString error;
    EXPECT_FALSE(Registry(test.path()).registerLibrary(library.descriptor(), QStringLiteral("Fake3.ocx"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("'Fake3.ocx' is not absolute"))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(test.path()));
}

// A valid store in which another tool keeps 17 lists nested 1,000 deep (within the JSON
// parser's limit of nesting): 34 KB as it is, but 68 MB if written indented.
QByteArray storeWithDeepLists()
{
    QByteArray store = R"({"format": "formkit registry", "version": 1)";
    for (int i = 0; i < 17; ++i)
        store += ", \"deep" + QByteArray::number(i) + "\": " + QByteArray(1000, '[') + QByteArray(1000, ']');
    return store + '}';
}

TEST(RegistryStore, AWriteNeverLeavesAStoreThatReadersRefuse)
{
    TestRegistry test;
    const Registry registry(test.path());
    const FakeLibrary library(7);
    QString error;

    // Registering and unregistering keep the store readable, and about its size.
    const QByteArray deep = storeWithDeepLists();
    test.write(deep);
    ASSERT_TRUE(registry.read(&error)) << error.toStdString();
    ASSERT_TRUE(registry.registerLibrary(library.descriptor(), library.path(), &error)) << error.toStdString();
    EXPECT_LT(test.bytes().size(), 2 * deep.size());
    EXPECT_TRUE(registered(registry, library));
    ASSERT_TRUE(registry.unregisterLibrary(library.descriptor(), &error)) << error.toStdString();
    EXPECT_TRUE(registry.read(&error)) << error.toStdString();
    const QJsonObject before = QJsonDocument::fromJson(deep).object();
    const QJsonObject after = test.json();
    for (auto it = before.begin(); it != before.end(); ++it)
        EXPECT_TRUE(after.value(it.key()) == it.value()) << "the other tool's " << it.key().toStdString() << " is kept";

    // A store just under the readers' limit, which one more registration would take past it,
    // is refused and kept as it was.
    QByteArray full = R"({"format": "formkit registry", "version": 1, "notes": ")";
    full += QByteArray(StoreFile::kLargest - full.size() - 100, 'x') + "\"}";
    test.write(full);
    ASSERT_TRUE(registry.read(&error)) << error.toStdString();
    EXPECT_FALSE(registry.registerLibrary(library.descriptor(), library.path(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("the registry '%1' would grow to").arg(test.path()))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("more than the 67108864 that readers take"))) << error.toStdString();
    EXPECT_TRUE(test.bytes() == full) << "the store was changed";
}

TEST(RegistryStore, AStoreThatIsALinkIsChangedWhereTheLinkLeads)
{
    QTemporaryDir folder;
    const QString shared = QFileInfo(folder.path()).canonicalFilePath() + QStringLiteral("/shared");
    const QString own = QFileInfo(folder.path()).canonicalFilePath() + QStringLiteral("/own");
    ASSERT_TRUE(QDir().mkpath(shared) && QDir().mkpath(own));
    const QString target = shared + QStringLiteral("/registry.json");
    const QString link = own + QStringLiteral("/registry.json");
    const FakeLibrary first(1);
    const FakeLibrary second(2);
    QString error;
    ASSERT_TRUE(Registry(target).registerLibrary(first.descriptor(), first.path(), &error)) << error.toStdString();
    ASSERT_TRUE(QFile::link(QStringLiteral("../shared/registry.json"), link));

    // Written through the link: the link stays, the file it leads to changes, and nothing
    // is left beside either.
    const Registry linked(link);
    ASSERT_TRUE(linked.registerLibrary(second.descriptor(), second.path(), &error)) << error.toStdString();
    ASSERT_TRUE(linked.unregisterLibrary(first.descriptor(), &error)) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_EQ(QFileInfo(link).symLinkTarget().toStdString(), target.toStdString());
    EXPECT_TRUE(registered(Registry(target), second));
    EXPECT_FALSE(registered(Registry(target), first));
    EXPECT_TRUE(registered(linked, second));
    const auto files = [](const QString& in) { return QDir(in).entryList(QDir::Files | QDir::Hidden | QDir::System); };
    EXPECT_EQ(files(own), QStringList{QStringLiteral("registry.json")});
    EXPECT_EQ(files(shared), QStringList{QStringLiteral("registry.json")});

    // A link that leads nowhere is refused, and stays the link it was.
    ASSERT_TRUE(QFile::remove(target));
    EXPECT_FALSE(linked.registerLibrary(first.descriptor(), first.path(), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("'%1' is a symbolic link that leads to no file").arg(link))) << error.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(files(own), QStringList{QStringLiteral("registry.json")});
}

TEST(RegistryStore, TheStoresFolderIsFlushedAfterTheRename)
{
    // Until the folder is on the disk, a crash can take the rename back and with it the
    // registration that regsvr reported done.
    TestRegistry test;
    const FakeLibrary library(9);
    const FolderFlushWatch watch(test.folder(), test.path());
    QString error;
    ASSERT_TRUE(Registry(test.path()).registerLibrary(library.descriptor(), library.path(), &error)) << error.toStdString();
    ASSERT_FALSE(watch.storeAtEachFlush().isEmpty()) << "the store's folder was never flushed";
    EXPECT_TRUE(watch.storeAtEachFlush().last() == test.bytes()) << "the folder was flushed before the rename";
}

// What the writers, the killer and the test share across their processes.
struct KillingGround {
    static constexpr int kWriters = 6;
    std::array<std::atomic<pid_t>, kWriters> writers{}; // 0 while a slot has no live writer
    std::atomic<bool> stop{false};
    std::atomic<int> kills{0};
    std::atomic<int> changes{0};                       // registrations and removals that succeeded
};

TEST(RegistryStore, SixWritersKilledAtRandomForTwentySecondsLeaveAWholeStoreAndNoDebris)
{
    TestRegistry test;
    QTemporaryDir folder;
    // The library from six folders, loaded before the writers fork so that each has its own.
    std::vector<std::pair<RegistrationEntry, RegistrationEntry>> copies;
    for (int i = 0; i < KillingGround::kWriters; ++i) {
        const QString subfolder = folder.path() + QStringLiteral("/copy%1").arg(i);
        ASSERT_TRUE(QDir().mkpath(subfolder));
        const fk::com::LibraryFile* library = loadLibrary(copyOfLibrary(subfolder));
        ASSERT_TRUE(library);
        copies.emplace_back(entryOf<RegistrationEntry>(library, "DllRegisterServer"),
                            entryOf<RegistrationEntry>(library, "DllUnregisterServer"));
    }
    void* shared = ::mmap(nullptr, sizeof(KillingGround), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    auto* ground = new (shared) KillingGround;

    // A writer registers and unregisters its copy until it is told to stop or killed.
    const auto startWriter = [&](int slot) {
        const auto [add, remove] = copies[static_cast<std::size_t>(slot)];
        const pid_t pid = inChild([ground, add, remove] {
            while (!ground->stop) {
                ground->changes += succeeded(add()) ? 1 : 0;
                ground->changes += succeeded(remove()) ? 1 : 0;
            }
            return true;
        });
        ground->writers[static_cast<std::size_t>(slot)] = pid;
    };
    for (int slot = 0; slot < KillingGround::kWriters; ++slot)
        startWriter(slot);

    // The seventh process: every few milliseconds, SIGKILL for a writer picked at random.
    constexpr int kRunMs = 20000;
    const pid_t killer = inChild([ground] {
        std::minstd_rand random(static_cast<unsigned>(::getpid()));
        QElapsedTimer running;
        running.start();
        while (running.elapsed() < kRunMs) {
            ::usleep(static_cast<useconds_t>(2000 + random() % 6000));
            const pid_t victim = ground->writers[random() % KillingGround::kWriters];
            if (victim > 0 && ::kill(victim, SIGKILL) == 0)
                ++ground->kills;
        }
        return true;
    });

    // Meanwhile every read of the store parses, and each killed writer is replaced. A dead
    // writer is first seen without being reaped, so that its number cannot be given to
    // another process while the killer may still pick it.
    const Registry registry(test.path());
    int reads = 0, damaged = 0;
    QString error;
    for (bool killing = true; killing;) {
        ++reads;
        if (!registry.read(&error) && ++damaged == 1)
            ADD_FAILURE() << "a reader found: " << error.toStdString();
        siginfo_t ended{};
        while (::waitid(P_ALL, 0, &ended, WEXITED | WNOHANG | WNOWAIT) == 0 && ended.si_pid != 0) {
            const pid_t pid = ended.si_pid;
            const auto slot = std::find(ground->writers.begin(), ground->writers.end(), pid);
            if (slot != ground->writers.end())
                *slot = 0;
            const int status = exitStatusOf(pid);
            if (pid == killer) {
                EXPECT_EQ(status, 0);
                killing = false;
            } else if (slot != ground->writers.end()) {
                EXPECT_EQ(status, 128 + SIGKILL) << "a writer ended on its own";
                startWriter(static_cast<int>(slot - ground->writers.begin()));
            }
        }
    }
    // The writers finish what they are doing and end; one the killer took in its last
    // moments is dead already.
    ground->stop = true;
    for (std::atomic<pid_t>& writer : ground->writers) {
        const int status = exitStatusOf(writer);
        EXPECT_TRUE(status == 0 || status == 128 + SIGKILL) << status;
    }
    EXPECT_EQ(damaged, 0) << "of " << reads << " reads";
    EXPECT_GT(ground->kills, 100) << "the killer kept killing";
    EXPECT_GT(ground->changes, 100) << "the writers kept writing between the kills";
    std::printf("%d kills, %d changes, %d reads in %d s\n", ground->kills.load(), ground->changes.load(), reads, kRunMs / 1000);
    ::munmap(shared, sizeof(KillingGround));

    // Afterwards a registration succeeds, and the store's folder holds the store alone.
    ASSERT_EQ(copies.front().first(), S_OK) << registrationError().toStdString();
    const auto entry = registry.findProgId(kButtonProgId, &error);
    ASSERT_TRUE(entry) << error.toStdString();
    EXPECT_EQ(entry->libraryPath, QFileInfo(folder.path()).canonicalFilePath() + QStringLiteral("/copy0/Lumakey.ocx"));
    EXPECT_EQ(QDir(test.folder()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{QStringLiteral("registry.json")});
}

} // namespace
