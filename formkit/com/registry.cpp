#include "com/registry.h"

#include "com/failure.h"
#include "com/file_lock.h"
#include "com/file_replacement.h"
#include "com/store_file.h"
#include "com/type_info.h"
#include "core/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSet>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace fk::com {

namespace {

const QString kFormatName = QStringLiteral("formkit registry");
constexpr int kFormatVersion = 1;
// A writer holds the lock for a few milliseconds, and a dead writer's lock goes with it;
// waiting this long means the lock's holder is stuck.
constexpr int kLockTimeoutMs = 10000;

const QString kClasses = QStringLiteral("classes");
const QString kProgIds = QStringLiteral("progIds");
const QString kTypeLibraries = QStringLiteral("typeLibraries");
const QString kInterfaces = QStringLiteral("interfaces");

QString hex(std::uint32_t value, int digits)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString versionOf(const TypeLibraryInfo& library)
{
    return QStringLiteral("%1.%2").arg(library.majorVersion).arg(library.minorVersion);
}

// The key of an object that names an identity, in whatever case it was written.
QStringList keysNaming(const QJsonObject& object, const Guid& id)
{
    QStringList keys;
    for (auto it = object.begin(); it != object.end(); ++it)
        if (parseGuid(it.key()) == id)
            keys << it.key();
    return keys;
}

// A section of the store: absent reads as empty, anything but an object is damage.
std::optional<QJsonObject> section(const QJsonObject& store, const QString& name, QString* error)
{
    const QJsonValue value = store.value(name);
    if (value.isUndefined())
        return QJsonObject();
    if (!value.isObject())
        return fail(error, QStringLiteral("\"%1\" is not an object").arg(name));
    return value.toObject();
}

// The sections a change works on, read together and written back together.
struct Sections {
    QJsonObject classes, progIds, typeLibraries, interfaces;

    bool load(const QJsonObject& store, QString* error)
    {
        const auto c = section(store, kClasses, error);
        const auto p = c ? section(store, kProgIds, error) : std::nullopt;
        const auto t = p ? section(store, kTypeLibraries, error) : std::nullopt;
        const auto i = t ? section(store, kInterfaces, error) : std::nullopt;
        if (!i)
            return false;
        classes = *c;
        progIds = *p;
        typeLibraries = *t;
        interfaces = *i;
        return true;
    }

    void storeInto(QJsonObject& store) const
    {
        store[QStringLiteral("format")] = kFormatName;
        store[QStringLiteral("version")] = kFormatVersion;
        store[kClasses] = classes;
        store[kProgIds] = progIds;
        store[kTypeLibraries] = typeLibraries;
        store[kInterfaces] = interfaces;
    }
};

// Why this process may not make files in a folder, or in the folder nearest to it that
// exists when it does not exist yet; empty when it may.
QString whyNotWritable(const QString& folder)
{
    QString existing = QDir::cleanPath(folder);
    while (!QFileInfo::exists(existing) && existing != QDir::rootPath())
        existing = QFileInfo(existing).absolutePath();
    if (!QFileInfo(existing).isDir())
        return QStringLiteral("'%1' is not a folder").arg(existing);
    if (::access(QFile::encodeName(existing).constData(), W_OK | X_OK) != 0)
        return QStringLiteral("permission denied");
    return {};
}

// Files and folders of the system store: read by all, written by their owner.
constexpr mode_t kReadableByAll = 0644;
constexpr mode_t kSearchableByAll = 0755;

// Makes a folder and every missing folder above it. Folders made for every user are
// readable and searchable by all whatever the umask; others follow the umask. Folders
// that exist already are left as their owner set them.
bool makeFolders(const QString& folder, bool forEveryUser)
{
    if (QFileInfo(folder).isDir())
        return true;
    const QString parent = QFileInfo(folder).absolutePath();
    if (parent != folder && !makeFolders(parent, forEveryUser))
        return false;
    const QByteArray native = QFile::encodeName(folder);
    if (::mkdir(native.constData(), forEveryUser ? kSearchableByAll : 0777) != 0)
        return errno == EEXIST && QFileInfo(folder).isDir();
    return !forEveryUser || ::chmod(native.constData(), kSearchableByAll) == 0;
}

// Changes within one process take turns here; the lock file keeps processes apart.
std::mutex& processLock()
{
    static std::mutex mutex;
    return mutex;
}

// The store a file holds, checked: what is not JSON, not a formkit registry or of the wrong
// types where the registry looks is refused, never guessed at. A file that does not exist
// or holds nothing but blanks is an empty store.
std::optional<QJsonObject> parseStore(const QString& path, const StoreFile::Contents& contents, QString* error)
{
    switch (contents.outcome) {
    case StoreFile::Outcome::Missing:
        return QJsonObject();
    case StoreFile::Outcome::Read:
        break;
    case StoreFile::Outcome::Distrusted:
    case StoreFile::Outcome::Failed:
        return fail(error, contents.why);
    }
    const auto damaged = [&](const QString& why) {
        return fail(error, QStringLiteral("the registry '%1' is damaged: %2").arg(path, why));
    };
    if (contents.bytes.trimmed().isEmpty())
        return QJsonObject();
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(contents.bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return damaged(QStringLiteral("%1 at byte %2").arg(parseError.errorString()).arg(parseError.offset));
    if (!document.isObject())
        return damaged(QStringLiteral("it is not a JSON object"));
    const QJsonObject store = document.object();
    // Another program's settings are JSON objects too: a file is taken for a store only
    // when it says it is one, so that no registration ever rewrites someone else's file.
    const QJsonValue format = store.value(QStringLiteral("format"));
    if (format.isUndefined())
        return fail(error, QStringLiteral("the file '%1' is not a formkit registry: it has no \"format\" key").arg(path));
    if (format.toString() != kFormatName)
        return fail(error, QStringLiteral("the file '%1' is not a formkit registry: its \"format\" is not \"%2\"")
                               .arg(path, kFormatName));
    const QJsonValue version = store.value(QStringLiteral("version"));
    if (!version.isUndefined() && version.toInt(-1) != kFormatVersion)
        return damaged(QStringLiteral("it has an unknown format version"));
    QString why;
    if (Sections sections; !sections.load(store, &why))
        return damaged(why);
    return store;
}

// A class in a store read from path, by identity; nothing with *error empty when the store
// does not know it.
std::optional<Registry::ClassEntry> classIn(const QJsonObject& store, const QString& path, const Guid& clsid, QString* error)
{
    const QJsonObject classes = store.value(kClasses).toObject();
    const QStringList keys = keysNaming(classes, clsid);
    if (keys.isEmpty())
        return std::nullopt;
    const QJsonValue entry = classes.value(keys.first());
    const QJsonValue library = entry.toObject().value(QStringLiteral("library"));
    if (!entry.isObject() || !library.isString() || library.toString().isEmpty())
        return fail(error, QStringLiteral("the registry entry of class %1 in '%2' is damaged: it names no library file")
                               .arg(clsid.toString(), path));
    return Registry::ClassEntry{clsid, entry.toObject().value(QStringLiteral("progId")).toString(), library.toString(), path};
}

// A class in a store read from path, by ProgID in any case.
std::optional<Registry::ClassEntry> progIdIn(const QJsonObject& store, const QString& path, const QString& progId, QString* error)
{
    const QJsonObject progIds = store.value(kProgIds).toObject();
    for (auto it = progIds.begin(); it != progIds.end(); ++it) {
        if (it.key().compare(progId, Qt::CaseInsensitive) != 0)
            continue;
        const auto clsid = parseGuid(it.value().toString());
        if (!clsid)
            return fail(error, QStringLiteral("the registry entry of ProgID '%1' in '%2' is damaged: it names no class identity")
                                   .arg(it.key(), path));
        auto entry = classIn(store, path, *clsid, error);
        if (!entry && error && error->isEmpty())
            return fail(error, QStringLiteral("the registry names class %1 for ProgID '%2', but that class is not registered")
                                   .arg(clsid->toString(), it.key()));
        if (entry)
            entry->progId = it.key();
        return entry;
    }
    return std::nullopt;
}

// Says, once a process for each store and reason, which store activation passed over and why.
void warnSkipped(const QString& path, const QString& why)
{
    static std::mutex mutex;
    static QSet<QString> told;
    const std::lock_guard<std::mutex> guard(mutex);
    const QString key = path + QLatin1Char('\n') + why;
    if (told.contains(key))
        return;
    told.insert(key);
    qCWarning(lcRegistry).noquote() << QStringLiteral("skipped the registry '%1': %2").arg(path, why);
}

} // namespace

QString Registry::defaultLocation()
{
    const QString overridden = qEnvironmentVariable("FORMKIT_REGISTRY");
    if (!overridden.isEmpty())
        return QFileInfo(overridden).absoluteFilePath();
    // A relative data folder is to be ignored, as if it were not set.
    QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (data.isEmpty() || !QDir::isAbsolutePath(data))
        data = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(data + QStringLiteral("/formkit/registry.json"));
}

QString Registry::systemLocation()
{
    const QString overridden = qEnvironmentVariable("FORMKIT_SYSTEM_REGISTRY");
    if (!overridden.isEmpty())
        return QFileInfo(overridden).absoluteFilePath();
    return QStringLiteral("/var/lib/formkit/registry.json");
}

QStringList Registry::searchOrder()
{
    QStringList stores{defaultLocation()};
    const QString system = systemLocation();
    if (QDir::cleanPath(system) != QDir::cleanPath(stores.first()))
        stores << system;
    return stores;
}

std::optional<Registry::ClassEntry> Registry::locate(const QString& progIdOrClassId, QString* error)
{
    const std::optional<Guid> clsid = parseGuid(progIdOrClassId);
    for (const QString& path : searchOrder()) {
        QString why, skipped;
        const auto store = Registry(path).readForActivation(&why, &skipped);
        if (!skipped.isEmpty()) {
            warnSkipped(path, skipped);
            continue;
        }
        if (!store)
            return fail(error, why);
        auto entry = clsid ? classIn(*store, path, *clsid, &why) : progIdIn(*store, path, progIdOrClassId, &why);
        if (entry)
            return entry;
        if (!why.isEmpty())
            return fail(error, why);
    }
    if (error)
        error->clear();
    return std::nullopt;
}

namespace {

std::atomic<Registry::Scope>& registrationScope()
{
    static std::atomic<Registry::Scope> scope{Registry::Scope::User};
    return scope;
}

} // namespace

void Registry::setRegistrationScope(Scope scope) { registrationScope() = scope; }

QString Registry::registrationLocation()
{
    return registrationScope() == Scope::System ? systemLocation() : defaultLocation();
}

std::optional<QJsonObject> Registry::read(QString* error) const
{
    return parseStore(path_, StoreFile::read(path_, StoreFile::Trust::AnyOwner), error);
}

std::optional<QJsonObject> Registry::readForActivation(QString* error, QString* skipped) const
{
    // Root runs what the libraries it loads run: it takes them only from stores that no
    // other user can have written.
    const bool root = ::geteuid() == 0;
    const StoreFile::Contents contents = StoreFile::read(path_, root ? StoreFile::Trust::RootOnly : StoreFile::Trust::AnyOwner);
    if (contents.outcome == StoreFile::Outcome::Distrusted) {
        if (error)
            error->clear();
        return fail(skipped, QStringLiteral("%1, and a process running as root takes classes only from stores that root "
                                            "alone can write")
                                 .arg(contents.why));
    }
    if (skipped)
        skipped->clear();
    return parseStore(path_, contents, error);
}

std::optional<Registry::ClassEntry> Registry::findClass(const Guid& clsid, QString* error) const
{
    if (error)
        error->clear();
    const auto store = read(error);
    if (!store)
        return std::nullopt;
    return classIn(*store, path_, clsid, error);
}

std::optional<Registry::ClassEntry> Registry::findProgId(const QString& progId, QString* error) const
{
    if (error)
        error->clear();
    const auto store = read(error);
    if (!store)
        return std::nullopt;
    return progIdIn(*store, path_, progId, error);
}

bool Registry::writable(QString* error) const
{
    const auto target = replacementTarget(path_, error);
    if (!target)
        return false;
    const QString why = whyNotWritable(QFileInfo(*target).absolutePath());
    if (why.isEmpty())
        return true;
    return fail(error, QStringLiteral("cannot write the registry '%1': %2").arg(*target, why));
}

bool Registry::forEveryUser() const { return QDir::cleanPath(path_) == QDir::cleanPath(systemLocation()); }

bool Registry::update(const Change& change, QString* error) const
{
    // A store that is a link is changed where the link leads, so that the link stays one;
    // the lock is taken there too, beside the file that changes.
    const auto target = replacementTarget(path_, error);
    if (!target)
        return false;
    const QString folder = QFileInfo(*target).absolutePath();
    // A change that leaves a store that is not there as it is (removing what was never
    // registered) makes nothing, not even the store's folder.
    if (!QFileInfo(folder).isDir()) {
        QJsonObject empty;
        QString why;
        if (change(empty, &why) && empty.isEmpty())
            return true;
    }
    // The system store is read by every user, whatever umask root has.
    const bool everyone = forEveryUser();
    if (!makeFolders(folder, everyone)) {
        const QString why = whyNotWritable(folder);
        return fail(error, QStringLiteral("cannot make the registry's folder '%1'%2")
                               .arg(folder, why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    }
    const std::lock_guard<std::mutex> inProcess(processLock());
    FileLock lock(*target + QStringLiteral(".lock"));
    if (FileLock::Failure failure; !lock.lock(kLockTimeoutMs, &failure)) {
        switch (failure) {
        case FileLock::Failure::Timeout:
            return fail(error, QStringLiteral("the registry '%1' stays locked by another process").arg(*target));
        case FileLock::Failure::Permission: {
            const QString why = whyNotWritable(folder);
            return fail(error, QStringLiteral("cannot make the registry's lock file '%1.lock'%2")
                                   .arg(*target, why.isEmpty() ? QString() : QStringLiteral(": ") + why));
        }
        default:
            return fail(error, QStringLiteral("cannot lock the registry '%1'").arg(*target));
        }
    }
    // A writer that died half-way may have left its copy behind.
    removeLeftovers(*target);
    // Read under the lock: another process may have changed the store a moment ago.
    const auto before = Registry(*target).read(error);
    if (!before)
        return false;
    QJsonObject after = *before;
    if (!change(after, error))
        return false;
    if (after == *before) {
        qCDebug(lcRegistry) << *target << "already says so; left as it is";
        return true;
    }
    // Compact: indentation grows with the depth of whatever else the store keeps, and could
    // turn a valid store into one too large to read, losing every registration in it.
    const QByteArray contents = QJsonDocument(after).toJson(QJsonDocument::Compact);
    if (contents.size() > StoreFile::kLargest)
        return fail(error, QStringLiteral("the registry '%1' would grow to %2 bytes, more than the %3 that readers take; "
                                          "it is left as it was")
                               .arg(*target)
                               .arg(contents.size())
                               .arg(StoreFile::kLargest));
    qCDebug(lcRegistry) << "writing" << *target;
    return replaceFile(*target, contents, everyone ? std::optional<mode_t>(kReadableByAll) : std::nullopt, error);
}

bool Registry::registerLibrary(const LibraryDescriptor& library, const QString& libraryPath, QString* error) const
{
    if (!QDir::isAbsolutePath(libraryPath)) {
        return fail(error, QStringLiteral("library path '%1' is not absolute").arg(libraryPath));
    }
    const TypeLibraryInfo& typeLibrary = *library.typeLibrary;
    const QString typeLibraryId = typeLibrary.id.toString();
    const QString version = versionOf(typeLibrary);
    return update(
        [&](QJsonObject& store, QString* why) {
            Sections s;
            if (!s.load(store, why))
                return false;
            for (const ClassFactoryEntry& factory : library.classes) {
                const ClassInfo& c = *factory.info;
                const QString clsid = c.clsid.toString();
                for (const QString& key : keysNaming(s.classes, c.clsid))
                    s.classes.remove(key);
                QJsonObject entry{
                    {QStringLiteral("name"), QLatin1String(c.name)},
                    {QStringLiteral("library"), libraryPath},
                    {QStringLiteral("control"), c.isControl},
                    {QStringLiteral("miscStatus"), hex(c.miscStatus, 8)},
                    {QStringLiteral("typeLibrary"), typeLibraryId},
                    {QStringLiteral("typeLibraryVersion"), version},
                };
                if (c.toolboxBitmap)
                    entry[QStringLiteral("toolboxBitmap")] =
                        QJsonObject{{QStringLiteral("library"), libraryPath}, {QStringLiteral("resource"), c.toolboxBitmap}};
                const QString progId = c.progId ? QLatin1String(c.progId) : QString();
                if (!progId.isEmpty()) {
                    entry[QStringLiteral("progId")] = progId;
                    for (const QString& key : s.progIds.keys())
                        if (key.compare(progId, Qt::CaseInsensitive) == 0)
                            s.progIds.remove(key);
                    s.progIds[progId] = clsid;
                }
                s.classes[clsid] = entry;
            }

            QJsonValue versionsValue = s.typeLibraries.value(typeLibraryId);
            if (!versionsValue.isUndefined() && !versionsValue.isObject()) {
                fail(why, QStringLiteral("the registry '%1' is damaged: the entry of type library %2 is not an object")
                                        .arg(path_, typeLibraryId));
                return false;
            }
            QJsonObject versions = versionsValue.toObject();
            versions[version] = QJsonObject{
                {QStringLiteral("name"), QLatin1String(typeLibrary.name)},
                {QStringLiteral("helpString"), QLatin1String(typeLibrary.helpString)},
                {QStringLiteral("locale"), hex(typeLibrary.locale, 4)},
                {QStringLiteral("control"), typeLibrary.isControlLibrary},
                {QStringLiteral("library"), libraryPath},
            };
            s.typeLibraries[typeLibraryId] = versions;

            for (const InterfaceInfo* i : typeLibrary.interfaces) {
                for (const QString& key : keysNaming(s.interfaces, i->iid))
                    s.interfaces.remove(key);
                s.interfaces[i->iid.toString()] = QJsonObject{
                    {QStringLiteral("name"), QLatin1String(i->name)},
                    {QStringLiteral("typeLibrary"), typeLibraryId},
                    {QStringLiteral("typeLibraryVersion"), version},
                };
            }
            s.storeInto(store);
            return true;
        },
        error);
}

bool Registry::unregisterLibrary(const LibraryDescriptor& library, QString* error) const
{
    const TypeLibraryInfo& typeLibrary = *library.typeLibrary;
    const QString typeLibraryId = typeLibrary.id.toString();
    const QString version = versionOf(typeLibrary);
    return update(
        [&](QJsonObject& store, QString* why) {
            // A library that never registered, into a store that does not exist yet,
            // leaves no trace.
            if (store.isEmpty())
                return true;
            Sections s;
            if (!s.load(store, why))
                return false;
            for (const ClassFactoryEntry& factory : library.classes) {
                const Guid& clsid = factory.info->clsid;
                for (const QString& key : keysNaming(s.classes, clsid))
                    s.classes.remove(key);
                for (const QString& key : s.progIds.keys())
                    if (parseGuid(s.progIds.value(key).toString()) == clsid)
                        s.progIds.remove(key);
            }
            for (const QString& key : keysNaming(s.typeLibraries, typeLibrary.id)) {
                QJsonObject versions = s.typeLibraries.value(key).toObject();
                versions.remove(version);
                if (versions.isEmpty())
                    s.typeLibraries.remove(key);
                else
                    s.typeLibraries[key] = versions;
            }
            // An interface stays when another type library has registered it since.
            for (const InterfaceInfo* i : typeLibrary.interfaces) {
                for (const QString& key : keysNaming(s.interfaces, i->iid)) {
                    const QJsonValue owner = s.interfaces.value(key).toObject().value(QStringLiteral("typeLibrary"));
                    if (!owner.isString() || parseGuid(owner.toString()) == typeLibrary.id)
                        s.interfaces.remove(key);
                }
            }
            s.storeInto(store);
            return true;
        },
        error);
}

} // namespace fk::com
