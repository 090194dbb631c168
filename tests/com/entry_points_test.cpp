// The library's entry points as a host's component model sees them: exactly four exports,
// a class object for btn and for nothing else, and an unload answer that follows the
// objects alive.
#include "support/library_support.h"

#include "com/class_factory.h"
#include "com/dispatch.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <cstring>
#include <elf.h>
#include <set>

using namespace testing_support;
using namespace fk::com;

namespace {

struct DynamicSymbol {
    std::string name;
    unsigned type;
};

// The symbols the file defines in its dynamic symbol table, read from the file itself.
std::vector<DynamicSymbol> definedDynamicSymbols(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    const QByteArray bytes = file.readAll();
    Elf64_Ehdr header;
    if (bytes.size() < qsizetype(sizeof header) || std::memcmp(bytes.data(), ELFMAG, SELFMAG) != 0) {
        ADD_FAILURE() << path.toStdString() << " is not an ELF file";
        return {};
    }
    std::memcpy(&header, bytes.data(), sizeof header);
    auto section = [&](std::size_t index) {
        Elf64_Shdr s;
        std::memcpy(&s, bytes.data() + header.e_shoff + index * sizeof s, sizeof s);
        return s;
    };
    std::vector<DynamicSymbol> symbols;
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr table = section(i);
        if (table.sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr names = section(table.sh_link);
        for (std::size_t at = 0; at + sizeof(Elf64_Sym) <= table.sh_size; at += sizeof(Elf64_Sym)) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, bytes.data() + table.sh_offset + at, sizeof symbol);
            const unsigned binding = ELF64_ST_BIND(symbol.st_info);
            if (symbol.st_shndx == SHN_UNDEF || (binding != STB_GLOBAL && binding != STB_WEAK))
                continue;
            symbols.push_back({bytes.data() + names.sh_offset + symbol.st_name, ELF64_ST_TYPE(symbol.st_info)});
        }
    }
    return symbols;
}

// Markers the linker may add to any shared object; they are not entry points.
bool isLinkerMarker(const std::string& name)
{
    return name == "_edata" || name == "_end" || name == "__bss_start" || name == "_init" || name == "_fini";
}

const std::set<std::string> kEntryPoints = {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                            "DllUnregisterServer"};

TEST(EntryPoints, TheLibraryExportsExactlyItsFourEntryPoints)
{
    std::set<std::string> exported;
    for (const DynamicSymbol& s : definedDynamicSymbols(builtFile(QStringLiteral("Lumakey.ocx")))) {
        if (isLinkerMarker(s.name))
            continue;
        exported.insert(s.name);
        EXPECT_EQ(s.type, unsigned(STT_FUNC)) << s.name << " is exported but is not a function";
    }
    EXPECT_EQ(exported, kEntryPoints);

    // The same as the binary tools report it, where they are installed.
    const QString nm = QStandardPaths::findExecutable(QStringLiteral("nm"));
    if (nm.isEmpty())
        return;
    QProcess process;
    process.start(nm, {QStringLiteral("-D"), QStringLiteral("--defined-only"), builtFile(QStringLiteral("Lumakey.ocx"))});
    ASSERT_TRUE(process.waitForFinished(30000));
    std::set<std::string> listed;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() == 3 && !isLinkerMarker(fields[2].toStdString()))
            listed.insert(fields[2].toStdString());
    }
    EXPECT_EQ(listed, kEntryPoints);
}

TEST(EntryPoints, ClassObjectComesForBtnOnlyAndOtherRequestsFailCleanly)
{
    const LibraryFile* library = loadLibrary(builtFile(QStringLiteral("Lumakey.ocx")));
    ASSERT_TRUE(library);
    const auto getClassObject = entryOf<GetClassObjectEntry>(library, "DllGetClassObject");
    ASSERT_TRUE(getClassObject);
    const Guid btn = *parseGuid(QString::fromLatin1(kButtonClass));

    // Another class: the standard "not available" answer and no object.
    const Guid other = guid("{0D3A6C1E-5B7F-4E2A-9C41-7A2B3C4D5E6F}");
    int sentinel = 0;
    void* object = &sentinel;
    EXPECT_EQ(getClassObject(&other, &IClassFactory::iid, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);

    // The right class asked for an interface its class object does not have.
    object = &sentinel;
    EXPECT_EQ(getClassObject(&btn, &IDispatch::iid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);

    // Missing arguments are refused, not followed.
    EXPECT_EQ(getClassObject(nullptr, &IClassFactory::iid, &object), E_POINTER);
    EXPECT_EQ(getClassObject(&btn, &IClassFactory::iid, nullptr), E_POINTER);

    // The class object of btn makes buttons.
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(&btn, &IClassFactory::iid, factory.put()), S_OK);
    ComPtr<IDispatch> button;
    ASSERT_EQ(factory->CreateInstance(nullptr, IDispatch::iid, button.put()), S_OK);
    DISPID caption = 0;
    EXPECT_EQ(button->GetIDOfName(QStringLiteral("Caption"), &caption), S_OK);
    EXPECT_EQ(caption, kDispIdCaption);
}

TEST(EntryPoints, LibraryCanUnloadOnlyWhileNothingOfItLives)
{
    const LibraryFile* library = loadLibrary(builtFile(QStringLiteral("Lumakey.ocx")));
    ASSERT_TRUE(library);
    const auto canUnloadNow = entryOf<CanUnloadEntry>(library, "DllCanUnloadNow");
    const auto getClassObject = entryOf<GetClassObjectEntry>(library, "DllGetClassObject");
    ASSERT_TRUE(canUnloadNow && getClassObject);
    const Guid btn = *parseGuid(QString::fromLatin1(kButtonClass));

    EXPECT_EQ(canUnloadNow(), S_OK) << "nothing has been made yet";
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(getClassObject(&btn, &IClassFactory::iid, factory.put()), S_OK);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "the class object lives";

    ComPtr<IUnknown> button;
    ASSERT_EQ(factory->CreateInstance(nullptr, IUnknown::iid, button.put()), S_OK);
    factory.reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a button lives";
    button.reset();
    EXPECT_EQ(canUnloadNow(), S_OK) << "everything has been released";

    // A host's lock keeps the library loaded even with no object alive.
    ASSERT_EQ(getClassObject(&btn, &IClassFactory::iid, factory.put()), S_OK);
    factory->LockServer(true);
    factory.reset();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "a host holds a lock";
    ASSERT_EQ(getClassObject(&btn, &IClassFactory::iid, factory.put()), S_OK);
    factory->LockServer(false);
    factory.reset();
    EXPECT_EQ(canUnloadNow(), S_OK);
}

} // namespace
