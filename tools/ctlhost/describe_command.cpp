#include "commands.h"

#include "registered_class.h"
#include "type_library_text.h"
#include "formats/toolbox_bitmap.h"

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
    QString error;
    const auto picture = readToolboxBitmap(found.entry().libraryPath, found.entry().clsid.toString(), &error);
    if (!picture)
        return failure(error);
    if (!picture->save(file, "PNG"))
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
