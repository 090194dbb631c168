#include "registered_class.h"

#include "com/failure.h"
#include "com/library_file.h"
#include "com/resources.h"

#include <QStringList>

using namespace fk::com;
using namespace formats;

std::optional<RegisteredClass> RegisteredClass::find(const QString& name, QString* error)
{
    QString why;
    const auto entry = Registry::locate(name, &why);
    if (!entry && why.isEmpty())
        return fail(
            error, QStringLiteral("class '%1' is not registered (asked the registry: '%2')")
                       .arg(name, Registry::searchOrder().join(QStringLiteral("', then '"))));
    if (!entry)
        return fail(error, why);
    if (const QString refusal = LibraryFile::refusal(entry->libraryPath); !refusal.isEmpty())
        return fail(error, QStringLiteral("class '%1' cannot be used: %2 (named by the registry '%3')")
                                                    .arg(name, refusal, entry->store));

    const auto resources = ResourceTable::readFromFile(entry->libraryPath, &why);
    const Resource* typeLibraryResource = resources ? resources->find(QStringLiteral("TYPELIB"), 1) : nullptr;
    if (!typeLibraryResource)
        return fail(error, QStringLiteral("library '%1' of class '%2' has no type library%3")
                                                    .arg(entry->libraryPath, name, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
    auto typeLibrary = TypeLibrary::parse(typeLibraryResource->data, &why);
    if (!typeLibrary)
        return fail(error, QStringLiteral("the type library of '%1' is damaged: %2").arg(entry->libraryPath, why));
    const TypeLibrary::Class* typeInfo = typeLibrary->findClass(entry->clsid);
    if (!typeInfo)
        return fail(error, QStringLiteral("the type library of '%1' does not describe class %2")
                                                    .arg(entry->libraryPath, entry->clsid.toString()));

    RegisteredClass found;
    found.classIndex_ = static_cast<std::size_t>(typeInfo - typeLibrary->classes.data());
    found.entry_ = *entry;
    found.typeLibrary_ = std::move(*typeLibrary);
    return found;
}

const TypeLibrary::Interface* RegisteredClass::defaultInterface() const
{
    return typeLibrary_.interfaceAt(typeInfo().defaultInterface);
}

const TypeLibrary::Interface* RegisteredClass::eventInterface() const { return typeLibrary_.interfaceAt(typeInfo().eventInterface); }

const TypeLibrary::Member* RegisteredClass::member(const QString& name, InvokeKind kind) const
{
    const TypeLibrary::Interface* members = defaultInterface();
    if (!members)
        return nullptr;
    for (const TypeLibrary::Member& m : members->members)
        if (m.kind == kind && m.name.compare(name, Qt::CaseInsensitive) == 0)
            return &m;
    return nullptr;
}

QString RegisteredClass::memberNames(InvokeKind kind) const
{
    QStringList names;
    if (const TypeLibrary::Interface* members = defaultInterface())
        for (const TypeLibrary::Member& m : members->members)
            if (m.kind == kind)
                names << m.name;
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}
