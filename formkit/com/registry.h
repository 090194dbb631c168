#pragma once

#include "com/guid.h"
#include "com/library.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace fk::com {

// The registry: which library file delivers which class, by class identity and by ProgID,
// with the registration data libraries record about themselves. Libraries write it when
// they register (DllRegisterServer) and remove their entries when they unregister;
// activation reads it after the program's own manifest.
//
// There are two stores of the same form. The user's store holds what a user registered
// for themselves: $FORMKIT_REGISTRY when set (tests point it at a temporary file), else
// $XDG_DATA_HOME/formkit/registry.json, else ~/.local/share/formkit/registry.json. The
// system store holds what was installed for everyone, written by packages as root through
// `regsvr --system`: $FORMKIT_SYSTEM_REGISTRY when set, else /var/lib/formkit/registry.json.
// Activation asks the user's store first, so a user can put a library of their own in
// place of an installed one; a store that does not exist is simply empty. A process whose
// effective user is root takes classes only from stores that root alone can write (a file
// of root's in a folder of root's, neither writable by anyone else): with `sudo` keeping a
// user's environment, that user's store would otherwise choose what root loads. It skips
// the others and says so under formkit.registry.
//
// What it holds, as JSON written compactly (shown indented here; identities in the braced
// upper-case form, status bits and locales as hex texts, every path absolute):
//
//   {
//     "format": "formkit registry",
//     "version": 1,
//     "classes": {
//       "{8DDE02C5-...}": {
//         "name": "btn",
//         "progId": "Lumakey.btn",
//         "library": "/home/someone/lib/Lumakey.ocx",
//         "control": true,
//         "miscStatus": "0x00020191",
//         "toolboxBitmap": { "library": "/home/someone/lib/Lumakey.ocx", "resource": 30000 },
//         "typeLibrary": "{2004FE3A-...}",
//         "typeLibraryVersion": "2.0"
//       }
//     },
//     "progIds": { "Lumakey.btn": "{8DDE02C5-...}" },
//     "typeLibraries": {
//       "{2004FE3A-...}": {
//         "2.0": { "name": "Lumakey", "helpString": "Lumakey", "locale": "0x0409",
//                  "control": true, "library": "/home/someone/lib/Lumakey.ocx" }
//       }
//     },
//     "interfaces": {
//       "{6F5550D2-...}": { "name": "_btn", "typeLibrary": "{2004FE3A-...}", "typeLibraryVersion": "2.0" }
//     }
//   }
//
// Keys the registry does not know are kept as they are. Every change is a read-modify-write
// under a lock file next to the store ("registry.json.lock"), and the new contents replace
// the old file in one atomic rename, so a reader sees either the old or the new store and
// a writer that dies half-way leaves the old one in place. A store that is a symbolic link
// is changed where the link leads, and the link stays; a link that leads to no file is
// refused. A store that cannot be read (not JSON, cut short, wrong types where the registry
// looks, larger than any store, or a file that does not say "format": "formkit registry",
// such as another program's settings) is an error, never a guess: changes to it are refused
// so that nothing in it is lost, and no change writes a store that readers would refuse.
// The folders made for the system store and the store itself are readable by every user
// whatever root's umask; a store that cannot be examined is an error, not an empty store.
class Registry {
public:
    // Where a registered class lives.
    struct ClassEntry {
        Guid clsid;
        QString progId;
        QString libraryPath;
        QString store; // the store that holds the entry
    };

    // The store of this user (see above).
    static QString defaultLocation();
    // The store of the machine (see above).
    static QString systemLocation();
    // The stores activation asks, in the order it asks them: the user's, then the system's
    // (once, when both names lead to the same file).
    static QStringList searchOrder();

    // Which store the libraries a process loads register into and unregister from: the
    // user's unless the process chose the system's, as `regsvr --system` does.
    enum class Scope { User, System };
    static void setRegistrationScope(Scope scope);
    static QString registrationLocation();

    // Finds a class by ProgID or by braced class identity in the stores activation asks, in
    // their order: what activation and other hosts use. Returns nothing with *error empty
    // when no store knows the class, and nothing with *error saying why when a store asked
    // before the class was found is damaged (which library the user meant cannot be told
    // from a store that cannot be read, even when a later store knows the class). It reads
    // the stores as readForActivation does, and warns of each store it passes over.
    static std::optional<ClassEntry> locate(const QString& progIdOrClassId, QString* error);

    // The store registration writes (see registrationLocation).
    Registry() : Registry(registrationLocation()) {}
    explicit Registry(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    // Finds a class by ProgID (in any case) or by identity. Returns nothing with *error
    // empty when the class is not registered, and nothing with *error saying why when the
    // store or the class's entries are damaged.
    std::optional<ClassEntry> findProgId(const QString& progId, QString* error) const;
    std::optional<ClassEntry> findClass(const Guid& clsid, QString* error) const;

    // Records a library's classes, its type library and its interfaces, all delivered by
    // the library file at libraryPath (absolute). Replaces earlier entries of the same
    // identities; touches nothing else.
    bool registerLibrary(const LibraryDescriptor& library, const QString& libraryPath, QString* error) const;
    // Removes exactly the entries registerLibrary writes for the library: its classes, the
    // ProgIDs that name them, its type library's version and the interfaces that belong
    // to that type library.
    bool unregisterLibrary(const LibraryDescriptor& library, QString* error) const;

    // Whether this process may change the store: make its folder, its lock file and its new
    // contents. Says why not in *error; a system store needs root.
    bool writable(QString* error) const;

    // The whole store, checked; a store that does not exist yet reads as empty.
    std::optional<QJsonObject> read(QString* error) const;
    // The store as activation takes it: as read() gives it, except that a process running
    // as root takes nothing from a store that another user could have written. Such a store
    // gives nothing, with *error empty and *skipped saying why; *skipped is empty otherwise.
    std::optional<QJsonObject> readForActivation(QString* error, QString* skipped) const;

private:
    using Change = std::function<bool(QJsonObject& store, QString* error)>;
    // Whether this is the system store, which every user reads.
    bool forEveryUser() const;
    // Runs a change on the store under its lock; writes the result only when the change
    // succeeds.
    bool update(const Change& change, QString* error) const;

    QString path_;
};

} // namespace fk::com
