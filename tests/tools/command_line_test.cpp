// The tools as a user runs them: what they print, what they leave in the registry and
// their exit status (0 done, 1 failed, 2 wrong usage).
#include "support/library_support.h"

#include "com/built_file.h"
#include "com/resources.h"
#include "formats/bitmap_resource.h"

#include <QImage>
#include <QRegularExpression>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

namespace {

TEST(ToolCommandLines, HelpVersionAndUnknownOptionsAreAlike)
{
    for (const char* tool : {"regsvr", "resdump", "ctlhost"}) {
        const QString name = QLatin1String(tool);
        const ToolRun help = runTool(name, {QStringLiteral("--help")});
        EXPECT_EQ(help.exitCode, 0) << tool;
        EXPECT_TRUE(help.out.startsWith("usage: " + name.toUtf8() + ' ')) << help.out.toStdString();
        EXPECT_TRUE(help.out.contains("--version")) << help.out.toStdString();

        const ToolRun version = runTool(name, {QStringLiteral("--version")});
        EXPECT_EQ(version.exitCode, 0) << tool;
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^%1 \\d+\\.\\d+\\.\\d+\n$").arg(name)).match(QString::fromUtf8(version.out)).hasMatch())
            << version.out.toStdString();

        // --help-all is an option of the toolkit's parser that the tools do not offer: it
        // must not let the command run.
        for (const char* option : {"frobnicate", "help-all"}) {
            const ToolRun unknown = runTool(name, {QStringLiteral("--") + QLatin1String(option), QStringLiteral("x")});
            EXPECT_EQ(unknown.exitCode, 2) << tool << " --" << option;
            EXPECT_TRUE(unknown.out.isEmpty()) << tool;
            EXPECT_TRUE(unknown.err.startsWith(name + QStringLiteral(": Unknown option '%1'.\nusage: ").arg(QLatin1String(option)) + name))
                << unknown.err.toStdString();
        }
    }
}

TEST(RegistrationTool, WrongUsageExitsWithTwoAndSaysHow)
{
    TestRegistry registry;
    for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("-u")}, QStringList{QStringLiteral("-x"), QStringLiteral("a")},
                                    QStringList{QStringLiteral("a.ocx"), QStringLiteral("b.ocx")}}) {
        const ToolRun run = runTool(QStringLiteral("regsvr"), args);
        EXPECT_EQ(run.exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("usage: regsvr [-u] FILE"))) << run.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(registry.path()));
}

TEST(RegistrationTool, RegistersARelativeFileByItsAbsolutePathAndUnregistersIt)
{
    TestRegistry registry;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());

    const ToolRun added = runTool(QStringLiteral("regsvr"), {QStringLiteral("Lumakey.ocx")}, QFileInfo(library).absolutePath());
    ASSERT_EQ(added.exitCode, 0) << added.err.toStdString();
    EXPECT_TRUE(added.out.contains(QFile::encodeName(library))) << added.out.toStdString();
    QString error;
    const auto found = fk::com::Registry(registry.path()).findProgId(kButtonProgId, &error);
    ASSERT_TRUE(found) << error.toStdString();
    EXPECT_EQ(found->libraryPath, library);
    EXPECT_EQ(found->clsid.toString(), QString::fromLatin1(kButtonClass));

    const ToolRun removed = runTool(QStringLiteral("regsvr"), {QStringLiteral("-u"), library});
    ASSERT_EQ(removed.exitCode, 0) << removed.err.toStdString();
    EXPECT_FALSE(fk::com::Registry(registry.path()).findProgId(kButtonProgId, &error));
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
}

TEST(RegistrationTool, FailuresExitWithOneAndSayWhy)
{
    TestRegistry registry;
    QTemporaryDir folder;

    const ToolRun missing = runTool(QStringLiteral("regsvr"), {folder.path() + QStringLiteral("/Nothing.ocx")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("does not exist"))) << missing.err.toStdString();

    // A shared library that is no component library.
    const ToolRun foreign = runTool(QStringLiteral("regsvr"), {builtFile(QStringLiteral("libformkit.so"))});
    EXPECT_EQ(foreign.exitCode, 1);
    EXPECT_TRUE(foreign.err.contains(QStringLiteral("not a component library"))) << foreign.err.toStdString();

    // A damaged store is reported and left alone.
    const QString library = copyOfLibrary(folder.path());
    registry.write("{\"classes\": {");
    const ToolRun damaged = runTool(QStringLiteral("regsvr"), {library});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(QStringLiteral("DllRegisterServer"))) << damaged.err.toStdString();
    EXPECT_TRUE(damaged.err.contains(registry.path() + QStringLiteral("' is damaged"))) << damaged.err.toStdString();
    EXPECT_EQ(registry.bytes(), QByteArray("{\"classes\": {"));
}

TEST(ResourceTool, ListsTheLibrarysResourcesWithVersionAndTypeLibrary)
{
    const ToolRun run = runTool(QStringLiteral("resdump"), {builtFile(QStringLiteral("Lumakey.ocx"))});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QString text = QString::fromUtf8(run.out);
    for (const char* expected : {
             "TYPELIB      1 ",
             "_IID_BTN     1 ",
             "identity {6F5550D2-7096-4A9C-AA54-F2BB84D0A99B}",
             "identity {F26C7975-6F91-4C53-BD8F-A230F902D283}",
             "BITMAP       30000",
             "bitmap 16 x 15, 4 bits per pixel, 16 colours",
             "file type         dynamic library",
             "OriginalFilename  \"Lumakey.ocx\"",
             "OLESelfRegister   \"\"",
             "library Lumakey {2004FE3A-FBE0-4284-AAF3-0C56C3E6713D}, version 2.0, locale 0x0409, control library",
             "class btn {8DDE02C5-207C-4592-8B6F-0F84159237E0}, ProgID Lumakey.btn, control, status bits 0x00020191, "
             "toolbox bitmap 30000",
             "interface _btn {6F5550D2-7096-4A9C-AA54-F2BB84D0A99B} (dual, hidden)",
             "0x60030007  method        IsMouseOverControl() as Boolean",
             "0x68030000  property let  Caption(1 argument)",
             "interface __btn {F26C7975-6F91-4C53-BD8F-A230F902D283} (dispatch only, hidden)",
             "0x00000001  method        Click()",
         })
        EXPECT_TRUE(text.contains(QLatin1String(expected))) << expected << "\n--- output:\n" << text.toStdString();
}

TEST(ResourceTool, WritesOneResourceAsItIs)
{
    const QString file = builtFile(QStringLiteral("Lumakey.ocx"));
    QString error;
    const auto table = fk::com::ResourceTable::readFromFile(file, &error);
    ASSERT_TRUE(table) << error.toStdString();
    for (const auto& [type, id] : {std::pair{"BITMAP", 30000u}, std::pair{"VERSION", 1u}, std::pair{"_SRCIID_BTN", 1u}}) {
        const ToolRun run = runTool(QStringLiteral("resdump"), {file, QLatin1String(type), QString::number(id)});
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const fk::com::Resource* resource = table->find(QLatin1String(type), id);
        ASSERT_TRUE(resource) << type;
        EXPECT_EQ(run.out, resource->data) << type;
    }
}

TEST(ResourceTool, FailuresAndWrongUsage)
{
    const QString file = builtFile(QStringLiteral("Lumakey.ocx"));
    const ToolRun none = runTool(QStringLiteral("resdump"), {});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_TRUE(none.err.contains(QStringLiteral("usage: resdump FILE [TYPE ID]")));
    EXPECT_EQ(runTool(QStringLiteral("resdump"), {file, QStringLiteral("BITMAP")}).exitCode, 2);
    EXPECT_EQ(runTool(QStringLiteral("resdump"), {file, QStringLiteral("BITMAP"), QStringLiteral("big")}).exitCode, 2);

    const ToolRun absent = runTool(QStringLiteral("resdump"), {file, QStringLiteral("BITMAP"), QStringLiteral("1")});
    EXPECT_EQ(absent.exitCode, 1);
    EXPECT_TRUE(absent.err.contains(QStringLiteral("has no resource BITMAP 1"))) << absent.err.toStdString();
    EXPECT_TRUE(absent.out.isEmpty());

    const ToolRun text = runTool(QStringLiteral("resdump"), {sourceFile(QStringLiteral("btn/Lumakey.rsc"))});
    EXPECT_EQ(text.exitCode, 1);
    EXPECT_TRUE(text.err.contains(QStringLiteral("is not a 64-bit little-endian ELF file"))) << text.err.toStdString();

    const ToolRun bare = runTool(QStringLiteral("resdump"), {builtFile(QStringLiteral("libformkit.so"))});
    EXPECT_EQ(bare.exitCode, 1);
    EXPECT_TRUE(bare.err.contains(QStringLiteral("carries no resources"))) << bare.err.toStdString();
}

TEST(ResourceTool, ReadsOnlyARegularFileOfABuiltFilesSize)
{
    // Named by mistake or by malice, a device, a pipe nobody writes to, a folder or a file
    // larger than any built file is refused at once, in one line, and nothing is written.
    QTemporaryDir folder;
    const QString pipe = folder.path() + QStringLiteral("/pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString huge = folder.path() + QStringLiteral("/huge.ocx");
    QFile hugeFile(huge);
    ASSERT_TRUE(hugeFile.open(QIODevice::WriteOnly) && hugeFile.resize(fk::com::kLargestBuiltFile + 1));
    hugeFile.close();
    const std::pair<QString, QString> refusals[] = {
        {QStringLiteral("/dev/zero"), QStringLiteral("is not a regular file")},
        {pipe, QStringLiteral("is not a regular file")},
        {folder.path(), QStringLiteral("is not a regular file")},
        {huge, QStringLiteral("is 268435457 bytes, more than the 256 MiB a built file may have")},
    };
    for (const auto& [path, reason] : refusals) {
        for (const QStringList& args : {QStringList{path}, QStringList{path, QStringLiteral("VERSION"), QStringLiteral("1")}}) {
            const ToolRun run = runTool(QStringLiteral("resdump"), args);
            EXPECT_EQ(run.exitCode, 1) << args.join(QLatin1Char(' ')).toStdString();
            EXPECT_EQ(run.err.toStdString(), QStringLiteral("resdump: '%1' %2\n").arg(path, reason).toStdString());
            EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        }
    }
}

TEST(ControlContainer, ListsAndDescribesTheRegisteredButton)
{
    TestRegistry registry;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {library}).exitCode, 0);

    const ToolRun listed = runTool(QStringLiteral("ctlhost"), {QStringLiteral("list")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QStringList lines = QString::fromUtf8(listed.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3) << listed.out.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("user store '%1': 1 class").arg(registry.path()));
    EXPECT_EQ(lines[1], QStringLiteral("  Lumakey.btn  %1  library '%2'  type library %3 2.0  ready")
                            .arg(QLatin1String(kButtonClass), library, QLatin1String(kTypeLibrary)));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("system store '"))) << lines[2].toStdString();
    EXPECT_TRUE(lines[2].endsWith(QStringLiteral("': 0 classes"))) << lines[2].toStdString();

    // By ProgID or by class identity alike; the toolbox bitmap comes out as the library carries it.
    const QString png = folder.path() + QStringLiteral("/toolbox.png");
    for (const QString& name : QStringList{QStringLiteral("lumakey.BTN"), QLatin1String(kButtonClass)}) {
        const ToolRun described = runTool(QStringLiteral("ctlhost"), {QStringLiteral("describe"), name, QStringLiteral("--bitmap"), png});
        ASSERT_EQ(described.exitCode, 0) << described.err.toStdString();
        EXPECT_EQ(QString::fromUtf8(described.out),
                  QStringLiteral("class btn %1, ProgID Lumakey.btn, control, status bits 0x00020191\n"
                                 "library '%2', registered in '%3'\n"
                                 "type library Lumakey %4, version 2.0\n"
                                 "toolbox bitmap 30000\n"
                                 "properties:\n"
                                 "  0x68030000  property get  Caption() as Variant\n"
                                 "  0x68030000  property let  Caption(1 argument)\n"
                                 "methods:\n"
                                 "  0x60030007  method        IsMouseOverControl() as Boolean\n"
                                 "events:\n"
                                 "  0x00000001  method        Click()\n")
                      .arg(QLatin1String(kButtonClass), library, registry.path(), QLatin1String(kTypeLibrary)));
    }
    QString error;
    const auto table = fk::com::ResourceTable::readFromFile(library, &error);
    ASSERT_TRUE(table) << error.toStdString();
    const auto bitmap = formats::decodeBitmap(table->find(QStringLiteral("BITMAP"), 30000)->data, &error);
    ASSERT_TRUE(bitmap) << error.toStdString();
    const QImage written(png);
    ASSERT_EQ(written.size(), QSize(16, 15));
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB32), bitmap->image.convertToFormat(QImage::Format_RGB32));
}

TEST(ControlContainer, EveryFailureIsOneClearLineAndStatusOne)
{
    TestRegistry registry;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {library}).exitCode, 0);
    const QString button = kButtonProgId;
    const QString host = QStringLiteral("host");

    // Refused before any window shows: members the type library does not have.
    const struct {
        QStringList args;
        QString error;
    } refusals[] = {
        {{host, button, QStringLiteral("--set"), QStringLiteral("Colour=red")},
         QStringLiteral("ctlhost: Lumakey.btn has no property 'Colour' to set (its properties: Caption)\n")},
        {{host, button, QStringLiteral("--call"), QStringLiteral("Refresh")},
         QStringLiteral("ctlhost: Lumakey.btn has no method 'Refresh' (its methods: IsMouseOverControl)\n")},
        {{host, QStringLiteral("Lumakey.knob")},
         QStringLiteral("ctlhost: class 'Lumakey.knob' is not registered (asked the registry: '%1', then '%2')\n")
             .arg(registry.path(), fk::com::Registry::systemLocation())},
    };
    for (const auto& refusal : refusals) {
        const ToolRun run = runTool(QStringLiteral("ctlhost"), refusal.args);
        EXPECT_EQ(run.exitCode, 1) << refusal.args.join(QLatin1Char(' ')).toStdString();
        EXPECT_EQ(run.err, refusal.error);
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }

    // Wrong usage is told apart from failure.
    for (const QStringList& args : {QStringList{QStringLiteral("list"), button}, QStringList{host, button, QStringLiteral("--size"), QStringLiteral("wide")},
                                    QStringList{host, button, QStringLiteral("--set"), QStringLiteral("Caption")},
                                    QStringList{QStringLiteral("describe"), button, QStringLiteral("--at"), QStringLiteral("1,2")},
                                    QStringList{QStringLiteral("list"), QStringLiteral("--stdin")},
                                    QStringList{QStringLiteral("describe"), button, QStringLiteral("--stdin")},
                                    QStringList{QStringLiteral("show"), button}, QStringList{}})
        EXPECT_EQ(runTool(QStringLiteral("ctlhost"), args).exitCode, 2) << args.join(QLatin1Char(' ')).toStdString();

    // A control larger than the screen (1280 x 1024 here) is refused before anything is made.
    for (const QString& size : {QStringLiteral("1281x40"), QStringLiteral("120x1025"), QStringLiteral("99999x99999")}) {
        const ToolRun run = runTool(QStringLiteral("ctlhost"), {host, button, QStringLiteral("--size"), size});
        EXPECT_EQ(run.exitCode, 2) << size.toStdString();
        EXPECT_TRUE(run.err.startsWith(QStringLiteral("ctlhost: --size %1 is larger than the screen, 1280x1024 pixels\n"
                                                      "usage: ctlhost ").arg(size)))
            << run.err.toStdString();
    }

    // A library that went away: the list says so and carries on, describing and hosting fail.
    ASSERT_TRUE(QFile::remove(library));
    const ToolRun listed = runTool(QStringLiteral("ctlhost"), {QStringLiteral("list")});
    EXPECT_EQ(listed.exitCode, 0);
    EXPECT_TRUE(listed.out.contains(QStringLiteral("UNUSABLE: library file '%1' does not exist\n").arg(library).toUtf8()))
        << listed.out.toStdString();
    for (const QString& command : {QStringLiteral("describe"), host}) {
        const ToolRun run = runTool(QStringLiteral("ctlhost"), {command, button});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.err, QStringLiteral("ctlhost: class 'Lumakey.btn' cannot be used: library file '%1' does not exist "
                                          "(named by the registry '%2')\n")
                               .arg(library, registry.path()));
    }

    // A damaged store is named, and the list goes on with the next one.
    registry.write("{\"classes\": [");
    const ToolRun damaged = runTool(QStringLiteral("ctlhost"), {QStringLiteral("list")});
    EXPECT_EQ(damaged.exitCode, 1);
    EXPECT_TRUE(damaged.err.contains(registry.path() + QStringLiteral("' is damaged"))) << damaged.err.toStdString();
    EXPECT_TRUE(damaged.out.startsWith("system store '")) << damaged.out.toStdString();
}

TEST(ControlContainer, RunningAsRootTakesNothingFromAStoreOfAnotherUser)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only a process running as root passes over another user's store";
    TestRegistry registry;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {library}).exitCode, 0);
    // As if root ran the container with another user's environment.
    ASSERT_EQ(::chown(QFile::encodeName(registry.path()).constData(), 65534, 65534), 0);
    const QString why = QStringLiteral("it belongs to user 65534, and a process running as root takes classes only from "
                                       "stores that root alone can write");

    const ToolRun listed = runTool(QStringLiteral("ctlhost"), {QStringLiteral("list")});
    EXPECT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    EXPECT_TRUE(listed.out.startsWith(QStringLiteral("user store '%1': skipped: %2\nsystem store '").arg(registry.path(), why).toUtf8()))
        << listed.out.toStdString();
    EXPECT_FALSE(listed.out.contains(QFile::encodeName(library))) << listed.out.toStdString();

    for (const QString& command : {QStringLiteral("describe"), QStringLiteral("host")}) {
        const ToolRun run = runTool(QStringLiteral("ctlhost"), {command, QString(kButtonProgId)});
        EXPECT_EQ(run.exitCode, 1) << command.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("skipped the registry '%1': %2\n").arg(registry.path(), why))) << run.err.toStdString();
        EXPECT_TRUE(run.err.endsWith(QStringLiteral("ctlhost: class 'Lumakey.btn' is not registered (asked the registry: '%1', then '%2')\n")
                                         .arg(registry.path(), fk::com::Registry::systemLocation())))
            << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    }
}

TEST(ControlContainer, SaysReadyOnlyForALibraryTheLoaderTakes)
{
    TestRegistry registry;
    QTemporaryDir folder;
    const QString library = copyOfLibrary(folder.path());
    ASSERT_EQ(runTool(QStringLiteral("regsvr"), {library}).exitCode, 0);

    // Beside the button, classes whose registered files the loader refuses for what they hold.
    QJsonObject store = registry.json();
    QJsonObject classes = store.value(QStringLiteral("classes")).toObject();
    QJsonObject progIds = store.value(QStringLiteral("progIds")).toObject();
    const std::vector<RefusedContents> refusals = contentsTheLoaderRefuses();
    QStringList paths;
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        paths << QFileInfo(folder.path()).canonicalFilePath() + QStringLiteral("/refused-%1.ocx").arg(i);
        QFile file(paths.last());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(refusals[i].bytes);
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString clsid = QStringLiteral("{00000000-0000-0000-0000-%1}").arg(i, 12, 10, QLatin1Char('0'));
        classes.insert(clsid, QJsonObject{{QStringLiteral("library"), paths.last()}, {QStringLiteral("progId"), QStringLiteral("Refused.%1").arg(i)}});
        progIds.insert(QStringLiteral("Refused.%1").arg(i), clsid);
    }
    store.insert(QStringLiteral("classes"), classes);
    store.insert(QStringLiteral("progIds"), progIds);
    registry.write(QJsonDocument(store).toJson());

    const ToolRun listed = runTool(QStringLiteral("ctlhost"), {QStringLiteral("list")});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QString text = QString::fromUtf8(listed.out);
    EXPECT_TRUE(text.contains(QStringLiteral("library '%1'  type library %2 2.0  ready\n").arg(library, QLatin1String(kTypeLibrary))))
        << text.toStdString();
    for (std::size_t i = 0; i < refusals.size(); ++i) {
        SCOPED_TRACE(refusals[i].what);
        const QString name = QStringLiteral("Refused.%1").arg(i);
        EXPECT_TRUE(text.contains(QStringLiteral("  %1  {00000000-0000-0000-0000-%2}  library '%3'  type library (none)  UNUSABLE: ")
                                      .arg(name)
                                      .arg(i, 12, 10, QLatin1Char('0'))
                                      .arg(paths[qsizetype(i)])))
            << text.toStdString();
        EXPECT_TRUE(text.contains(paths[qsizetype(i)] + refusals[i].reasonEnd + QLatin1Char('\n'))) << text.toStdString();

        const ToolRun described = runTool(QStringLiteral("ctlhost"), {QStringLiteral("describe"), name});
        EXPECT_EQ(described.exitCode, 1);
        EXPECT_TRUE(described.err.startsWith(QStringLiteral("ctlhost: class '%1' cannot be used: ").arg(name)))
            << described.err.toStdString();
        EXPECT_TRUE(described.err.contains(paths[qsizetype(i)] + refusals[i].reasonEnd)) << described.err.toStdString();
    }
}

} // namespace
