// rescomp [-I DIR]... LIST OUTPUT.cpp
//
// Reads a resource list and writes a source file that puts the resource table into the
// module's resource section. The list names one resource a line, '#' starts a comment:
//
//   TYPE ID FILE...
//
// Files are looked up relative to the list's folder, then in each -I folder (for files
// made during the build). The type decides what becomes of the files:
//
//   BITMAP      one XPM picture -> a sixteen-colour device-independent bitmap
//   GROUP_ICON  XPM pictures, largest first -> one ICON image each (numbered from the
//               first free ICON id) and the group that lists them
//   VERSION     a version source (see formats/version_record.h) -> the binary record
//   TYPELIB     a type library as the generator wrote it; checked, then taken as it is
//   anything else: the file's bytes as they are
#include "com/resources.h"
#include "formats/bitmap_resource.h"
#include "formats/type_library.h"
#include "formats/version_record.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <cstdio>
#include <set>

using namespace fk::com;
using namespace formats;

namespace {

constexpr std::uint32_t kLanguage = 0x0409;

int fail(const QString& message)
{
    std::fprintf(stderr, "rescomp: %s\n", qPrintable(message));
    return 1;
}

class Compiler {
public:
    Compiler(QString listPath, QStringList searchDirs) : listPath_(std::move(listPath)), searchDirs_(std::move(searchDirs))
    {
        searchDirs_.prepend(QFileInfo(listPath_).absolutePath());
    }

    // Compiles one line; on a mistake returns false with *error set.
    bool line(const QStringList& fields, QString* error)
    {
        bool isNumber = false;
        const uint id = fields.size() >= 3 ? fields[1].toUInt(&isNumber) : 0;
        if (!isNumber) {
            *error = QStringLiteral("expected TYPE ID FILE...");
            return false;
        }
        const QString type = fields[0];
        const QStringList files = fields.mid(2);
        if (type == QLatin1String("GROUP_ICON"))
            return iconGroup(id, files, error);
        if (files.size() != 1) {
            *error = QStringLiteral("a %1 resource is made from one file").arg(type);
            return false;
        }
        if (type == QLatin1String("ICON")) {
            *error = QStringLiteral("icon images come from a GROUP_ICON line");
            return false;
        }
        const auto source = read(files[0], error);
        if (!source)
            return false;
        std::optional<QByteArray> data;
        if (type == QLatin1String("BITMAP")) {
            const QImage image = picture(files[0], *source, error);
            data = image.isNull() ? std::nullopt : encodeBitmap16(image, error);
        } else if (type == QLatin1String("VERSION"))
            data = versionRecord(*source, error);
        else if (type == QLatin1String("TYPELIB"))
            data = TypeLibrary::parse(*source, error) ? source : std::nullopt;
        else
            data = source;
        if (!data) {
            *error = QStringLiteral("%1: %2").arg(files[0], *error);
            return false;
        }
        return add(type, id, *data, error);
    }

    std::vector<Resource> take() { return std::move(resources_); }

private:
    std::optional<QByteArray> read(const QString& name, QString* error)
    {
        for (const QString& dir : searchDirs_) {
            QFile file(dir + QLatin1Char('/') + name);
            if (file.open(QIODevice::ReadOnly))
                return file.readAll();
        }
        *error = QStringLiteral("cannot read %1").arg(name);
        return std::nullopt;
    }

    static QImage picture(const QString& name, const QByteArray& source, QString* error)
    {
        QImage image;
        if (!name.endsWith(QLatin1String(".xpm"), Qt::CaseInsensitive) || !image.loadFromData(source, "XPM"))
            *error = QStringLiteral("not an XPM picture");
        return image;
    }

    static std::optional<QByteArray> versionRecord(const QByteArray& source, QString* error)
    {
        const auto record = VersionRecord::parseSource(source, error);
        return record ? std::optional<QByteArray>(record->toBinary()) : std::nullopt;
    }

    bool iconGroup(std::uint32_t id, const QStringList& files, QString* error)
    {
        std::vector<IconGroupEntry> entries;
        for (const QString& name : files) {
            const auto source = read(name, error);
            if (!source)
                return false;
            const QImage image = picture(name, *source, error);
            const auto data = image.isNull() ? std::nullopt : encodeIconImage16(image, error);
            if (!data) {
                *error = QStringLiteral("%1: %2").arg(name, *error);
                return false;
            }
            std::uint32_t iconId = 1;
            while (taken_.count({QStringLiteral("ICON"), iconId}))
                ++iconId;
            if (!add(QStringLiteral("ICON"), iconId, *data, error))
                return false;
            entries.push_back({image.width(), image.height(), 16, 1, 4, static_cast<std::uint32_t>(data->size()),
                               static_cast<std::uint16_t>(iconId)});
        }
        return add(QStringLiteral("GROUP_ICON"), id, encodeIconGroup(entries), error);
    }

    bool add(const QString& type, std::uint32_t id, const QByteArray& data, QString* error)
    {
        if (!taken_.insert({type, id}).second) {
            *error = QStringLiteral("%1 %2 is given twice").arg(type).arg(id);
            return false;
        }
        resources_.push_back({type, id, kLanguage, data});
        return true;
    }

    QString listPath_;
    QStringList searchDirs_;
    std::vector<Resource> resources_;
    std::set<std::pair<QString, std::uint32_t>> taken_;
};

} // namespace

int main(int argc, char** argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    QStringList searchDirs;
    while (args.size() >= 2 && args[0] == QLatin1String("-I")) {
        searchDirs << args[1];
        args = args.mid(2);
    }
    if (args.size() != 2)
        return fail(QStringLiteral("usage: rescomp [-I DIR]... LIST OUTPUT.cpp"));
    const QString listPath = args[0];
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(listPath));

    Compiler compiler(listPath, searchDirs);
    int lineNumber = 0;
    while (!list.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(list.readLine()).section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        QString error;
        if (!compiler.line(line.split(QRegularExpression(QStringLiteral("\\s+"))), &error))
            return fail(QStringLiteral("%1:%2: %3").arg(listPath).arg(lineNumber).arg(error));
    }

    const QByteArray table = ResourceTable(compiler.take()).serialize();
    QFile out(args[1]);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return fail(QStringLiteral("cannot write %1").arg(out.fileName()));
    QTextStream code(&out);
    code << "// Written by rescomp from " << QFileInfo(listPath).fileName() << "; do not edit.\n"
         << "extern \"C\" {\n"
         << "__attribute__((section(\"" << ResourceTable::kSectionName << "\"), used, aligned(16), visibility(\"hidden\")))\n"
         << "extern const unsigned char fk_module_resources[] = {";
    for (qsizetype i = 0; i < table.size(); ++i)
        code << (i % 16 ? " " : "\n    ") << static_cast<unsigned>(static_cast<unsigned char>(table[i])) << ',';
    code << "\n};\n"
         << "__attribute__((visibility(\"hidden\"))) extern const unsigned int fk_module_resources_size = "
         << table.size() << ";\n}\n";
    return 0;
}
