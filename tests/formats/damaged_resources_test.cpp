// Tools read resources from files they did not write. Every reader takes damaged bytes
// (cut short anywhere, or with bytes changed) with a clear error or a reading that stays
// inside the data, never a crash.
#include "support/library_support.h"

#include "com/resources.h"
#include "formats/bitmap_resource.h"
#include "formats/type_library.h"
#include "formats/version_record.h"

#include <QDirIterator>
#include <functional>

using namespace testing_support;
using namespace fk::com;
using namespace formats;

namespace {

// Reads the bytes; returns whether they were accepted and sets *error when not.
using Reader = std::function<bool(QByteArrayView bytes, QString* error)>;

struct Case {
    const char* file;
    const char* type;
    std::uint32_t id;
    Reader read;
};

const Case kCases[] = {
    {"Lumakey.ocx", "TYPELIB", 1, [](QByteArrayView b, QString* e) { return bool(TypeLibrary::parse(b, e)); }},
    {"Lumakey.ocx", "VERSION", 1, [](QByteArrayView b, QString* e) { return bool(VersionRecord::fromBinary(b, e)); }},
    {"Lumakey.ocx", "BITMAP", 30000, [](QByteArrayView b, QString* e) { return bool(decodeBitmap(b, e)); }},
    {"Corvane_ALPHA3", "ICON", 1, [](QByteArrayView b, QString* e) { return bool(decodeIconImage(b, e)); }},
    {"Corvane_ALPHA3", "GROUP_ICON", 1, [](QByteArrayView b, QString* e) { return bool(decodeIconGroup(b, e)); }},
};

QByteArray builtResource(const Case& c)
{
    QString error;
    const auto table = ResourceTable::readFromFile(builtFile(QLatin1String(c.file)), &error);
    const Resource* r = table ? table->find(QLatin1String(c.type), c.id) : nullptr;
    if (!r)
        ADD_FAILURE() << c.file << " has no " << c.type << ' ' << c.id << ": " << error.toStdString();
    return r ? r->data : QByteArray();
}

TEST(DamagedResources, CutShortAnywhereIsRefusedWithAReason)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.type);
        const QByteArray whole = builtResource(c);
        QString error;
        ASSERT_TRUE(c.read(whole, &error)) << "the resource as built reads: " << error.toStdString();
        for (qsizetype size = 0; size < whole.size(); ++size) {
            // A heap copy of exactly that size, so that reading past it is caught by the
            // memory checkers of a sanitizer build.
            const QByteArray cut(whole.constData(), size);
            error.clear();
            const bool accepted = c.read(cut, &error);
            EXPECT_FALSE(accepted) << "accepted when cut to " << size << " of " << whole.size() << " bytes";
            EXPECT_FALSE(error.isEmpty()) << "no reason when cut to " << size;
        }
    }
}

TEST(DamagedResources, ChangedBytesNeverLeadOutsideTheData)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.type);
        const QByteArray whole = builtResource(c);
        for (qsizetype at = 0; at < whole.size(); ++at) {
            for (const char value : {'\x00', '\x7f', '\xff'}) {
                QByteArray changed = whole;
                changed[at] = value;
                QString error;
                if (!c.read(changed, &error)) {
                    EXPECT_FALSE(error.isEmpty()) << "refused without a reason, byte " << at;
                }
            }
        }
    }
}

TEST(DamagedResources, AResourceTableThatLiesAboutItsSizesIsRefused)
{
    const ResourceTable table({{QStringLiteral("BITMAP"), 1, 0x0409, QByteArray(64, 'x')},
                               {QStringLiteral("VERSION"), 1, 0x0409, QByteArray(8, 'y')}});
    const QByteArray whole = table.serialize();
    ASSERT_TRUE(ResourceTable::parse(whole));
    for (qsizetype size = 0; size < 12 + 2 * 20; ++size) {
        QString error;
        EXPECT_FALSE(ResourceTable::parse(QByteArray(whole.constData(), size), &error)) << size;
        EXPECT_FALSE(error.isEmpty()) << size;
    }
    // A data size far beyond the end.
    QByteArray lying = whole;
    lying[12 + 16 + 3] = '\x7f';
    QString error;
    EXPECT_FALSE(ResourceTable::parse(lying, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("outside the table"))) << error.toStdString();
}

// What the fuzzers found, kept in tests/hostile/<reader>/: each input is refused with a
// reason, read the way the tools read it (a built file from its path, a resource as bytes).
TEST(DamagedResources, TheFuzzersFindingsAreRefusedWithAReason)
{
    using FileReader = std::function<bool(const QString& path, QString* error)>;
    const auto bytesOf = [](const Reader& read) {
        return FileReader([read](const QString& path, QString* error) {
            QFile file(path);
            return file.open(QIODevice::ReadOnly) && read(file.readAll(), error);
        });
    };
    const std::pair<const char*, FileReader> readers[] = {
        {"resources", [](const QString& path, QString* e) { return bool(ResourceTable::readFromFile(path, e)); }},
        {"bitmap", bytesOf([](QByteArrayView b, QString* e) { return decodeBitmap(b, e) || decodeIconImage(b, e); })},
        {"icon_group", bytesOf([](QByteArrayView b, QString* e) { return bool(decodeIconGroup(b, e)); })},
        {"version_record", bytesOf([](QByteArrayView b, QString* e) { return bool(VersionRecord::fromBinary(b, e)); })},
        {"type_library", bytesOf([](QByteArrayView b, QString* e) { return bool(TypeLibrary::parse(b, e)); })},
    };
    int findings = 0;
    for (const auto& [kind, read] : readers) {
        QDirIterator files(QStringLiteral(CORVANE_TEST_DATA "/hostile/") + QLatin1String(kind), QDir::Files);
        while (files.hasNext()) {
            const QString path = files.next();
            ++findings;
            QString error;
            EXPECT_FALSE(read(path, &error)) << path.toStdString();
            EXPECT_FALSE(error.isEmpty()) << path.toStdString();
        }
    }
    EXPECT_GE(findings, 1);
    // The first: a section table whose offset wraps around when its size is added.
    QString error;
    EXPECT_FALSE(ResourceTable::readFromFile(QStringLiteral(CORVANE_TEST_DATA "/hostile/resources/section-table-wraps.elf"), &error));
    EXPECT_TRUE(error.endsWith(QStringLiteral("section-table-wraps.elf' has a damaged section table"))) << error.toStdString();
}

} // namespace
