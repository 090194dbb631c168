// rescomp LIST OUTPUT.cpp
//
// Reads a resource list (one resource a line: TYPE ID FILE, '#' starts a comment) and
// writes a source file that puts the resource table into the module's resource section.
#include "com/resources.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

using fk::com::Resource;
using fk::com::ResourceTable;

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "rescomp: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail(QStringLiteral("usage: rescomp LIST OUTPUT.cpp"));
    const QString listPath = QString::fromLocal8Bit(argv[1]);
    QFile list(listPath);
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return fail(QStringLiteral("cannot read %1").arg(listPath));
    const QString folder = QFileInfo(listPath).absolutePath();

    std::vector<Resource> resources;
    int lineNumber = 0;
    while (!list.atEnd()) {
        ++lineNumber;
        const QString line = QString::fromUtf8(list.readLine()).section(QLatin1Char('#'), 0, 0).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList fields = line.split(QRegularExpression(QStringLiteral("\\s+")));
        bool isNumber = false;
        const uint id = fields.size() == 3 ? fields[1].toUInt(&isNumber) : 0;
        if (!isNumber)
            return fail(QStringLiteral("%1:%2: expected TYPE ID FILE").arg(listPath).arg(lineNumber));
        QFile source(folder + QLatin1Char('/') + fields[2]);
        if (!source.open(QIODevice::ReadOnly))
            return fail(QStringLiteral("%1:%2: cannot read %3").arg(listPath).arg(lineNumber).arg(fields[2]));
        resources.push_back({fields[0], id, 0x0409, source.readAll()});
    }

    const QByteArray table = ResourceTable(std::move(resources)).serialize();
    QFile out(QString::fromLocal8Bit(argv[2]));
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
