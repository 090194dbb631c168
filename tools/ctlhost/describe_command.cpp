#include "commands.h"

#include "registered_class.h"
#include "type_library_text.h"
#include "com/resources.h"
#include "formats/bitmap_resource.h"

#include <QTextStream>

using namespace fk::com;
using namespace formats;

namespace {

void printMembers(QTextStream& out, const char* heading, const TypeLibrary::Interface* members, bool wanted(InvokeKind))
{
    out << heading << ":\n";
    if (members)
        for (const TypeLibrary::Member& m : members->members)
            if (wanted(m.kind))
                out << "  " << memberLine(m) << '\n';
}

bool isProperty(InvokeKind kind) { return kind != InvokeKind::Method; }
bool isMethod(InvokeKind kind) { return kind == InvokeKind::Method; }

int writeToolboxBitmap(const RegisteredClass& found, const QString& file)
{
    const QString& library = found.entry().libraryPath;
    const std::uint32_t id = found.typeInfo().toolboxBitmap;
    QString error;
    const auto resources = ResourceTable::readFromFile(library, &error);
    const Resource* resource = resources ? resources->find(QStringLiteral("BITMAP"), id) : nullptr;
    if (!resource)
        return failure(QStringLiteral("library '%1' has no toolbox bitmap %2").arg(library).arg(id));
    const auto bitmap = decodeBitmap(resource->data, &error);
    if (!bitmap)
        return failure(QStringLiteral("the toolbox bitmap %1 of '%2' is damaged: %3").arg(id).arg(library, error));
    if (!bitmap->image.save(file, "PNG"))
        return failure(QStringLiteral("cannot write '%1'").arg(file));
    return 0;
}

} // namespace

int describeClass(const QString& name, const QString& bitmapFile)
{
    QString error;
    const auto found = RegisteredClass::find(name, &error);
    if (!found)
        return failure(error);
    const TypeLibrary& library = found->typeLibrary();
    const TypeLibrary::Class& info = found->typeInfo();
    QTextStream out(stdout);
    out << "class " << info.name << ' ' << info.clsid.toString() << ", ProgID " << info.progId
        << (info.isControl ? ", control" : "") << ", status bits " << hexText(info.miscStatus, 8) << '\n'
        << "library '" << found->entry().libraryPath << "', registered in '" << found->entry().store << "'\n"
        << "type library " << library.name << ' ' << library.id.toString() << ", version " << library.majorVersion << '.'
        << library.minorVersion << '\n'
        << "toolbox bitmap " << info.toolboxBitmap << '\n';
    printMembers(out, "properties", found->defaultInterface(), isProperty);
    printMembers(out, "methods", found->defaultInterface(), isMethod);
    printMembers(out, "events", found->eventInterface(), isMethod);
    out.flush();
    return bitmapFile.isEmpty() ? 0 : writeToolboxBitmap(*found, bitmapFile);
}
