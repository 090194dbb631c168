#include "commands.h"

#include "com/library_file.h"
#include "com/registry.h"

#include <QJsonObject>
#include <QTextStream>

using namespace fk::com;

namespace {

// Whether a registered library can be used, in a word or with the loader's reason.
QString libraryState(const QString& path)
{
    const QString refusal = LibraryFile::refusal(path);
    return refusal.isEmpty() ? QStringLiteral("ready") : QStringLiteral("UNUSABLE: ") + refusal;
}

} // namespace

int listClasses()
{
    QTextStream out(stdout);
    int status = 0;
    const QStringList stores = Registry::searchOrder();
    for (qsizetype i = 0; i < stores.size(); ++i) {
        const QString which = i == 0 ? QStringLiteral("user store") : QStringLiteral("system store");
        // As hosts read them: a store that a host running as root would pass over is named
        // with the reason, and its classes are not listed as if they were there.
        QString error, skipped;
        const auto store = Registry(stores[i]).readForActivation(&error, &skipped);
        if (!skipped.isEmpty()) {
            out << which << " '" << stores[i] << "': skipped: " << skipped << '\n';
            continue;
        }
        if (!store) {
            out.flush();
            status = failure(error);
            continue;
        }
        const QJsonObject classes = store->value(QStringLiteral("classes")).toObject();
        out << which << " '" << stores[i] << "': " << classes.size() << (classes.size() == 1 ? " class\n" : " classes\n");
        for (auto it = classes.begin(); it != classes.end(); ++it) {
            const QJsonObject entry = it.value().toObject();
            const QString library = entry.value(QStringLiteral("library")).toString();
            const QString typeLibrary = entry.value(QStringLiteral("typeLibrary")).toString();
            out << "  " << entry.value(QStringLiteral("progId")).toString(QStringLiteral("(no ProgID)")) << "  " << it.key()
                << "  library '" << library << "'  type library "
                << (typeLibrary.isEmpty() ? QStringLiteral("(none)")
                                          : typeLibrary + QLatin1Char(' ') + entry.value(QStringLiteral("typeLibraryVersion")).toString())
                << "  " << libraryState(library) << '\n';
        }
    }
    return status;
}
