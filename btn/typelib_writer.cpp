// lumakey_typelib FOLDER
//
// Writes, from the library's declared surface (lumakey_types.cpp), the resources that
// describe it: Lumakey.tlb, the type library, and for every interface NAME.iid, a 32-bit
// little-endian length 16 followed by the interface's 16-byte identity. The build runs it
// and compiles its output into Lumakey.ocx, so the resources and the code cannot disagree.
#include "lumakey_types.h"

#include "formats/type_library.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <cstdio>

namespace {

int fail(const QString& message)
{
    std::fprintf(stderr, "lumakey_typelib: %s\n", qPrintable(message));
    return 1;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return fail(QStringLiteral("usage: lumakey_typelib FOLDER"));
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("cannot make %1").arg(folder));

    const fk::com::TypeLibraryInfo& library = lumakey::kTypeLibrary;
    QString error;
    const auto typeLibrary = formats::TypeLibrary::write(library, &error);
    if (!typeLibrary)
        return fail(error);
    const QString typeLibraryPath = folder + QLatin1Char('/') + QLatin1String(library.name) + QStringLiteral(".tlb");
    if (!writeFile(typeLibraryPath, *typeLibrary))
        return fail(QStringLiteral("cannot write %1").arg(typeLibraryPath));

    for (const fk::com::InterfaceInfo* i : library.interfaces) {
        QByteArray record(4, '\0');
        qToLittleEndian<std::uint32_t>(16, record.data());
        const auto bytes = i->iid.toBytes();
        record.append(reinterpret_cast<const char*>(bytes.data()), 16);
        const QString path = folder + QLatin1Char('/') + QLatin1String(i->name) + QStringLiteral(".iid");
        if (!writeFile(path, record))
            return fail(QStringLiteral("cannot write %1").arg(path));
    }
    return 0;
}
