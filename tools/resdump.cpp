// resdump FILE [TYPE ID]
//
// Reads the resources of a built file without loading it. With FILE alone, lists them
// and prints the version record and the type library in readable form; with TYPE and ID,
// writes that one resource's bytes, as they are, to standard output.
//
// Exit status: 0 done, 1 failed (the file cannot be read, has no such resource, or a
// resource is damaged; the reason goes to standard error), 2 wrong usage.
#include "com/resources.h"
#include "formats/bitmap_resource.h"
#include "formats/type_library.h"
#include "formats/version_record.h"
#include "tool_command_line.h"
#include "type_library_text.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

using namespace fk::com;
using namespace formats;

namespace {

int failure(const QString& message)
{
    std::fprintf(stderr, "resdump: %s\n", qPrintable(message));
    return 1;
}

// One line about a resource's contents; damage is reported in *error.
QString summary(const Resource& r, QString* error)
{
    const QByteArray& data = r.data;
    if (r.type == QLatin1String("BITMAP")) {
        const auto bitmap = decodeBitmap(data, error);
        return bitmap ? QStringLiteral("bitmap %1 x %2, %3 bits per pixel, %4 colours")
                            .arg(bitmap->width)
                            .arg(bitmap->height)
                            .arg(bitmap->bitCount)
                            .arg(bitmap->paletteSize)
                      : QString();
    }
    if (r.type == QLatin1String("ICON")) {
        const auto icon = decodeIconImage(data, error);
        return icon ? QStringLiteral("icon image %1 x %2, %3 bits per pixel").arg(icon->width).arg(icon->height).arg(icon->bitCount)
                    : QString();
    }
    if (r.type == QLatin1String("GROUP_ICON")) {
        const auto entries = decodeIconGroup(data, error);
        if (!entries)
            return QString();
        QStringList images;
        for (const IconGroupEntry& e : *entries)
            images << QStringLiteral("%1 x %2 in %3 colours (ICON %4)").arg(e.width).arg(e.height).arg(e.colorCount).arg(e.iconId);
        return QStringLiteral("icon group: ") + images.join(QStringLiteral(", "));
    }
    if (r.type == QLatin1String("VERSION"))
        return VersionRecord::fromBinary(data, error) ? QStringLiteral("version record (below)") : QString();
    if (r.type == QLatin1String("TYPELIB")) {
        const auto library = TypeLibrary::parse(data, error);
        return library ? QStringLiteral("type library %1 %2.%3 (below)").arg(library->name).arg(library->majorVersion).arg(library->minorVersion)
                       : QString();
    }
    // A length of 16 followed by sixteen bytes is an identity.
    if (data.size() == 20 && data.startsWith(QByteArray("\x10\0\0\0", 4)))
        return QStringLiteral("identity ") + Guid::fromBytes(reinterpret_cast<const std::uint8_t*>(data.constData() + 4)).toString();
    if (r.type == QLatin1String("MANIFEST"))
        return QStringLiteral("manifest, %1 lines").arg(data.count('\n'));
    return QStringLiteral("data");
}

void printVersion(QTextStream& out, const VersionRecord& v)
{
    const QString type = v.fileType == VersionRecord::kTypeLibrary   ? QStringLiteral("dynamic library")
                         : v.fileType == VersionRecord::kTypeProgram ? QStringLiteral("program")
                                                                     : hexText(v.fileType, 8);
    out << "  file version      " << VersionRecord::versionText(v.fileVersion) << '\n'
        << "  product version   " << VersionRecord::versionText(v.productVersion) << '\n'
        << "  file type         " << type << '\n'
        << "  platform          " << hexText(v.fileOS, 8) << '\n'
        << "  flags             " << hexText(v.fileFlags, 8) << " of mask " << hexText(v.fileFlagsMask, 8) << '\n'
        << "  language          " << hexText(v.language, 4) << ", code page " << v.codePage << '\n';
    for (const auto& [key, value] : v.strings)
        out << "  " << key.leftJustified(18) << '"' << value << "\"\n";
}

void printTypeLibrary(QTextStream& out, const TypeLibrary& t)
{
    out << "  library " << t.name << ' ' << t.id.toString() << ", version " << t.majorVersion << '.' << t.minorVersion
        << ", locale " << hexText(t.locale, 4) << (t.isControlLibrary ? ", control library" : "") << ", help string \""
        << t.helpString << "\"\n";
    for (const TypeLibrary::Class& c : t.classes) {
        out << "  class " << c.name << ' ' << c.clsid.toString() << ", ProgID " << c.progId
            << (c.isControl ? ", control" : "") << ", status bits " << hexText(c.miscStatus, 8) << ", toolbox bitmap "
            << c.toolboxBitmap << '\n';
        if (const auto* i = t.interfaceAt(c.defaultInterface))
            out << "    default interface " << i->name << '\n';
        if (const auto* i = t.interfaceAt(c.eventInterface))
            out << "    event interface   " << i->name << '\n';
    }
    for (const TypeLibrary::Interface& i : t.interfaces) {
        out << "  interface " << i.name << ' ' << i.iid.toString() << " (" << interfaceFlagsText(i.flags) << ")\n";
        for (const TypeLibrary::Member& m : i.members)
            out << "    " << memberLine(m) << '\n';
    }
}

int list(const QString& path, const ResourceTable& table)
{
    QTextStream out(stdout);
    int status = 0;
    out << path << ": " << table.resources().size() << " resources\n";
    for (const Resource& r : table.resources()) {
        QString error;
        const QString about = summary(r, &error);
        out << "  " << r.type.leftJustified(12) << ' ' << QString::number(r.id).leftJustified(6) << " language "
            << hexText(r.language, 4) << "  " << QString::number(r.data.size()).rightJustified(6) << " bytes  "
            << (error.isEmpty() ? about : QStringLiteral("DAMAGED: ") + error) << '\n';
        if (!error.isEmpty())
            status = 1;
    }
    for (const Resource& r : table.resources()) {
        if (r.type == QLatin1String("VERSION")) {
            if (const auto record = VersionRecord::fromBinary(r.data, nullptr)) {
                out << "\nVERSION " << r.id << ":\n";
                printVersion(out, *record);
            }
        } else if (r.type == QLatin1String("TYPELIB")) {
            if (const auto library = TypeLibrary::parse(r.data, nullptr)) {
                out << "\nTYPELIB " << r.id << ":\n";
                printTypeLibrary(out, *library);
            }
        }
    }
    out.flush();
    if (status)
        std::fprintf(stderr, "resdump: %s carries damaged resources\n", qPrintable(path));
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    ToolCommandLine commandLine("resdump", QStringLiteral("resdump FILE [TYPE ID]"),
                                QStringLiteral("Lists the resources of the built FILE without loading it, or writes resource TYPE "
                                               "ID to standard output as it is."));
    commandLine.parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("a built program or library"));
    commandLine.parser.addPositionalArgument(QStringLiteral("TYPE ID"), QStringLiteral("the one resource to write out"),
                                             QStringLiteral("[TYPE ID]"));
    if (const auto status = commandLine.parse(argc, argv))
        return *status;
    QCoreApplication app(argc, argv);
    const QStringList args = commandLine.parser.positionalArguments();
    if (args.size() != 1 && args.size() != 3)
        return commandLine.usageError(QStringLiteral("give a FILE, and a TYPE and an ID to write one resource"));
    bool isNumber = true;
    const uint id = args.size() == 3 ? args[2].toUInt(&isNumber) : 0;
    if (!isNumber)
        return commandLine.usageError(QStringLiteral("resource ID '%1' is not a number").arg(args[2]));

    QString error;
    const auto table = ResourceTable::readFromFile(args[0], &error);
    if (!table)
        return failure(error);
    if (args.size() == 1)
        return list(args[0], *table);

    const Resource* resource = table->find(args[1], id);
    if (!resource)
        return failure(QStringLiteral("'%1' has no resource %2 %3").arg(args[0], args[1]).arg(id));
    const QByteArray& data = resource->data;
    for (qsizetype written = 0; written < data.size();) {
        const ssize_t n = ::write(STDOUT_FILENO, data.constData() + written, static_cast<std::size_t>(data.size() - written));
        if (n < 0)
            return failure(QStringLiteral("cannot write to standard output"));
        written += n;
    }
    return 0;
}
