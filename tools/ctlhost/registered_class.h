#pragma once

#include "com/registry.h"
#include "formats/type_library.h"

#include <QString>
#include <optional>

// A class as the registry names it, with what its library's type library says about it,
// read from the library file without loading it.
class RegisteredClass {
public:
    // Finds a class by ProgID or class identity in the stores activation asks. Fails with
    // one line saying why: not registered (naming the stores asked), a damaged store, a
    // library the loader refuses, a library without a type library or one that does not
    // describe the class.
    static std::optional<RegisteredClass> find(const QString& name, QString* error);

    const fk::com::Registry::ClassEntry& entry() const { return entry_; }
    const formats::TypeLibrary& typeLibrary() const { return typeLibrary_; }
    const formats::TypeLibrary::Class& typeInfo() const { return typeLibrary_.classes[classIndex_]; }
    // The class's interfaces as its type library names them; null for none.
    const formats::TypeLibrary::Interface* defaultInterface() const;
    const formats::TypeLibrary::Interface* eventInterface() const;

    // A member of the default interface by name (in any case) and kind; null when there is none.
    const formats::TypeLibrary::Member* member(const QString& name, fk::com::InvokeKind kind) const;
    // The names of the default interface's members of one kind, for error messages.
    QString memberNames(fk::com::InvokeKind kind) const;

private:
    fk::com::Registry::ClassEntry entry_;
    formats::TypeLibrary typeLibrary_;
    std::size_t classIndex_ = 0;
};
