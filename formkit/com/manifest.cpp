#include "com/manifest.h"

#include "com/failure.h"

#include <QDir>
#include <QXmlStreamReader>

namespace fk::com {

std::optional<Manifest> Manifest::parse(const QByteArray& text, QString* error)
{
    Manifest manifest;
    QXmlStreamReader xml(text);
    QString library;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const auto name = xml.name();
            const auto attributes = xml.attributes();
            if (name == QLatin1String("manifest")) {
                sawRoot = true;
            } else if (name == QLatin1String("library")) {
                library = attributes.value(QLatin1String("file")).toString();
                if (library.isEmpty()) {
                    return fail(error, QStringLiteral("manifest line %1: a library without a file").arg(xml.lineNumber()));
                }
            } else if (name == QLatin1String("class")) {
                const auto clsid = parseGuid(attributes.value(QLatin1String("id")).toString());
                if (!clsid || library.isEmpty()) {
                    return fail(error, QStringLiteral("manifest line %1: a class needs a valid id inside a library")
                                 .arg(xml.lineNumber()));
                }
                manifest.classes_.push_back({*clsid, attributes.value(QLatin1String("progid")).toString(), library});
            }
        } else if (xml.isEndElement() && xml.name() == QLatin1String("library")) {
            library.clear();
        }
    }
    if (xml.hasError()) {
        return fail(error, QStringLiteral("manifest line %1: %2").arg(xml.lineNumber()).arg(xml.errorString()));
    }
    if (!sawRoot) {
        return fail(error, QStringLiteral("manifest has no <manifest> element"));
    }
    return manifest;
}

const ManifestClass* Manifest::findProgId(const QString& progId) const
{
    for (const ManifestClass& c : classes_)
        if (c.progId.compare(progId, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

const ManifestClass* Manifest::findClass(const Guid& clsid) const
{
    for (const ManifestClass& c : classes_)
        if (c.clsid == clsid)
            return &c;
    return nullptr;
}

std::optional<QString> Manifest::libraryPath(const QString& programDir, const QString& file)
{
    if (file.isEmpty() || QDir::isAbsolutePath(file))
        return std::nullopt;
    const QString folder = QDir::cleanPath(programDir);
    const QString path = QDir::cleanPath(folder + QLatin1Char('/') + file);
    if (!path.startsWith(folder + QLatin1Char('/')))
        return std::nullopt;
    return path;
}

} // namespace fk::com
