// Registering the library for the user, creating btn through the registry from a host that
// carries no manifest, and unregistering it again.
#include "support/button_host.h"
#include "support/library_support.h"

#include "com/activation.h"
#include "com/library.h"

#include <QJsonArray>
#include <QTest>
#include <QWidget>

using namespace testing_support;
using namespace fk::com;

namespace {

// The library from the build, loaded, with its registration entry points.
struct Library {
    const LibraryFile* file = loadLibrary(builtFile(QStringLiteral("Lumakey.ocx")));
    HRESULT registerServer() const { return entryOf<RegistrationEntry>(file, "DllRegisterServer")(); }
    HRESULT unregisterServer() const { return entryOf<RegistrationEntry>(file, "DllUnregisterServer")(); }
};

// No manifest: only the registry can lead to the library.
void hostWithoutManifest(const QString& folder) { setProgramManifest({}, folder); }

TEST(Registration, RegisteredButtonIsCreatedByProgIdFromAHostWithoutManifest)
{
    TestRegistry registry;
    hostWithoutManifest(registry.folder());
    EXPECT_TRUE(reasonCreating(kButtonProgId).contains(QStringLiteral("not registered")));

    Library library;
    ASSERT_TRUE(library.file);
    ASSERT_EQ(library.registerServer(), S_OK) << registrationError().toStdString();
    EXPECT_TRUE(registrationError().isEmpty());

    RecordedErrors errors;
    ButtonHost host;
    host.showAt(100, 100);
    host.first.set(QStringLiteral("Caption"), Variant(QStringLiteral("Benchmark")));
    EXPECT_EQ(host.first.get(QStringLiteral("Caption")), Variant(QStringLiteral("Benchmark")));

    int clicks = 0;
    host.first.on(QStringLiteral("Click"), [&] { ++clicks; });
    QWidget* face = faceOf(host.first);
    QTest::mouseClick(face, Qt::LeftButton, {}, face->rect().center());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(errors.empty());

    // By class identity as well.
    EXPECT_TRUE(createObject(QString::fromLatin1(kButtonClass)));
}

TEST(Registration, RecordsTheClassItsTypeLibraryAndItsInterfaces)
{
    TestRegistry registry;
    Library library;
    ASSERT_TRUE(library.file);
    ASSERT_EQ(library.registerServer(), S_OK) << registrationError().toStdString();
    const QString path = library.file->path();

    const QJsonObject store = registry.json();
    const QJsonObject btn = store[QStringLiteral("classes")][QString::fromLatin1(kButtonClass)].toObject();
    EXPECT_EQ(btn[QStringLiteral("library")].toString(), path);
    EXPECT_EQ(btn[QStringLiteral("progId")].toString(), QString(kButtonProgId));
    EXPECT_EQ(btn[QStringLiteral("name")].toString(), QStringLiteral("btn"));
    EXPECT_EQ(btn[QStringLiteral("control")], QJsonValue(true));
    EXPECT_EQ(btn[QStringLiteral("miscStatus")].toString(), QStringLiteral("0x00020191"));
    EXPECT_EQ(btn[QStringLiteral("toolboxBitmap")][QStringLiteral("library")].toString(), path);
    EXPECT_EQ(btn[QStringLiteral("toolboxBitmap")][QStringLiteral("resource")].toInt(), 30000);
    EXPECT_EQ(btn[QStringLiteral("typeLibrary")].toString(), QString::fromLatin1(kTypeLibrary));

    EXPECT_EQ(store[QStringLiteral("progIds")][QString(kButtonProgId)].toString(), QString::fromLatin1(kButtonClass));

    const QJsonObject typeLibrary = store[QStringLiteral("typeLibraries")][QString::fromLatin1(kTypeLibrary)].toObject();
    ASSERT_EQ(typeLibrary.keys(), QStringList{QStringLiteral("2.0")});
    const QJsonObject version = typeLibrary[QStringLiteral("2.0")].toObject();
    EXPECT_EQ(version[QStringLiteral("locale")].toString(), QStringLiteral("0x0409"));
    EXPECT_EQ(version[QStringLiteral("helpString")].toString(), QStringLiteral("Lumakey"));
    EXPECT_EQ(version[QStringLiteral("name")].toString(), QStringLiteral("Lumakey"));
    EXPECT_EQ(version[QStringLiteral("library")].toString(), path);
    EXPECT_EQ(version[QStringLiteral("control")], QJsonValue(true));

    const QJsonObject interfaces = store[QStringLiteral("interfaces")].toObject();
    EXPECT_EQ(interfaces.size(), 2);
    EXPECT_EQ(interfaces[QString::fromLatin1(kButtonInterface)][QStringLiteral("name")].toString(), QStringLiteral("_btn"));
    EXPECT_EQ(interfaces[QString::fromLatin1(kButtonEvents)][QStringLiteral("name")].toString(), QStringLiteral("__btn"));
    for (const QString& iid : {QString::fromLatin1(kButtonInterface), QString::fromLatin1(kButtonEvents)})
        EXPECT_EQ(interfaces[iid][QStringLiteral("typeLibrary")].toString(), QString::fromLatin1(kTypeLibrary)) << iid.toStdString();

    // Registering again changes nothing.
    const QByteArray once = registry.bytes();
    ASSERT_EQ(library.registerServer(), S_OK);
    EXPECT_EQ(registry.bytes(), once);
}

TEST(Registration, AfterUnregisteringCreationFailsWithAClearError)
{
    TestRegistry registry;
    hostWithoutManifest(registry.folder());
    Library library;
    ASSERT_TRUE(library.file);
    ASSERT_EQ(library.registerServer(), S_OK) << registrationError().toStdString();
    EXPECT_TRUE(createObject(QStringLiteral("lumakey.BTN"))) << "ProgIDs are found in any case";
    ASSERT_EQ(library.unregisterServer(), S_OK) << registrationError().toStdString();

    for (const QString& name : {QString(kButtonProgId), QString::fromLatin1(kButtonClass)}) {
        const QString reason = reasonCreating(name);
        EXPECT_TRUE(reason.contains(name)) << reason.toStdString();
        EXPECT_TRUE(reason.contains(QStringLiteral("not registered"))) << reason.toStdString();
    }
    const QJsonObject store = registry.json();
    for (const char* section : {"classes", "progIds", "typeLibraries", "interfaces"})
        EXPECT_TRUE(store[QLatin1String(section)].toObject().isEmpty()) << section;

    // Unregistering what is not registered is no error.
    EXPECT_EQ(library.unregisterServer(), S_OK);
}

TEST(Registration, UnregisteringLeavesEveryOtherEntryAsItWas)
{
    TestRegistry registry;
    // Another vendor's class, with its type library, and a key this registry does not know.
    const QByteArray others = R"({
        "format": "formkit registry",
        "version": 1,
        "classes": {
            "{11111111-2222-3333-4444-555555555555}": {"name": "dial", "progId": "Other.dial",
                "library": "/opt/other/Other.ocx", "control": true, "miscStatus": "0x00000001",
                "typeLibrary": "{66666666-7777-8888-9999-AAAAAAAAAAAA}", "typeLibraryVersion": "1.0"}
        },
        "progIds": {"Other.dial": "{11111111-2222-3333-4444-555555555555}"},
        "typeLibraries": {
            "{66666666-7777-8888-9999-AAAAAAAAAAAA}": {"1.0": {"name": "Other", "helpString": "Other",
                "locale": "0x0409", "control": true, "library": "/opt/other/Other.ocx"}},
            "{2004FE3A-FBE0-4284-AAF3-0C56C3E6713D}": {"1.0": {"name": "Lumakey", "helpString": "an older Lumakey",
                "locale": "0x0409", "control": true, "library": "/opt/old/Lumakey.ocx"}}
        },
        "interfaces": {
            "{BBBBBBBB-CCCC-DDDD-EEEE-FFFFFFFFFFFF}": {"name": "_dial",
                "typeLibrary": "{66666666-7777-8888-9999-AAAAAAAAAAAA}", "typeLibraryVersion": "1.0"}
        },
        "notes": ["kept by another tool"]
    })";
    registry.write(others);
    const QJsonObject before = registry.json();

    Library library;
    ASSERT_TRUE(library.file);
    ASSERT_EQ(library.registerServer(), S_OK) << registrationError().toStdString();
    const QJsonObject registered = registry.json();
    EXPECT_EQ(registered[QStringLiteral("classes")].toObject().size(), 2);
    EXPECT_EQ(registered[QStringLiteral("typeLibraries")][QString::fromLatin1(kTypeLibrary)].toObject().keys(),
              (QStringList{QStringLiteral("1.0"), QStringLiteral("2.0")}));

    ASSERT_EQ(library.unregisterServer(), S_OK) << registrationError().toStdString();
    EXPECT_EQ(registry.json(), before);
}

TEST(Registration, ADamagedStoreRefusesRegistrationAndKeepsItsContents)
{
    TestRegistry registry;
    Library library;
    ASSERT_TRUE(library.file);
    const QByteArray damaged[] = {
        R"({"classes": {"{8DDE02C5-207C-4592-8B6F-0F84159237E0}": {"library": "/opt/x/Lum)", // cut off mid-write
        "\x7f" "ELF\x02\x01 not a registry at all",
        R"(["a list", "not an object"])",
        R"({"format": "formkit registry", "classes": ["wrong", "type"]})",
        R"({"format": "formkit registry", "version": 7})",
        R"({"format": "formkit registry", "typeLibraries": {"{2004FE3A-FBE0-4284-AAF3-0C56C3E6713D}": "a text, not an object"}})",
    };
    for (const QByteArray& contents : damaged) {
        SCOPED_TRACE(contents.toStdString());
        registry.write(contents);
        EXPECT_EQ(library.registerServer(), SELFREG_E_CLASS);
        const QString why = registrationError();
        EXPECT_TRUE(why.contains(registry.path())) << why.toStdString();
        EXPECT_TRUE(why.contains(QStringLiteral("damaged"))) << why.toStdString();
        EXPECT_EQ(registry.bytes(), contents) << "the damaged store is left for the user to repair";
    }
}

TEST(Registration, ADamagedStoreOrEntryMakesActivationFailWithTheReason)
{
    TestRegistry registry;
    hostWithoutManifest(registry.folder());
    const struct {
        QByteArray contents;
        const char* reason;
    } cases[] = {
        {R"({"progIds": {"Lumakey.btn": "{8DDE02C5-207C-4592-8B6F-0F84159237E0}"}, "classes": {"{8DDE02C5-20)", "damaged"},
        {"garbage", "damaged"},
        {R"({"format": "formkit registry", "progIds": 42})", "damaged"},
        {R"({"format": "formkit registry", "progIds": {"Lumakey.btn": "not an identity"}})", "names no class identity"},
        {R"({"format": "formkit registry", "progIds": {"Lumakey.btn": "{8DDE02C5-207C-4592-8B6F-0F84159237E0}"}})",
         "that class is not registered"},
        {R"({"format": "formkit registry", "progIds": {"Lumakey.btn": "{8DDE02C5-207C-4592-8B6F-0F84159237E0}"},
             "classes": {"{8DDE02C5-207C-4592-8B6F-0F84159237E0}": {"library": 17}}})",
         "names no library file"},
    };
    RecordedErrors errors;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.contents.toStdString());
        registry.write(c.contents);
        const QString reason = reasonCreating(kButtonProgId);
        EXPECT_TRUE(reason.contains(kButtonProgId)) << reason.toStdString();
        EXPECT_TRUE(reason.contains(QLatin1String(c.reason))) << reason.toStdString();
        // A host window reports the error instead of going down with it.
        EXPECT_THROW(ButtonHost host, fk::RuntimeError);
    }
}

TEST(Registration, ARegistryEntryNamingAMissingLibraryIsAClearError)
{
    TestRegistry registry;
    hostWithoutManifest(registry.folder());
    QTemporaryDir folder;
    const QString copy = copyOfLibrary(folder.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {copy}).exitCode, 0);
    ASSERT_TRUE(QFile::remove(copy));
    const QString reason = reasonCreating(kButtonProgId);
    EXPECT_TRUE(reason.contains(kButtonProgId)) << reason.toStdString();
    EXPECT_TRUE(reason.contains(copy + QStringLiteral("' does not exist"))) << reason.toStdString();
    EXPECT_TRUE(reason.contains(registry.path())) << "says who named the file: " << reason.toStdString();
}

} // namespace
