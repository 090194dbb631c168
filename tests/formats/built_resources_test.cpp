// The resources inside the built files, read from the files without loading them and
// decoded here on their own terms (not with the code that wrote them): the library's
// identities, toolbox bitmap, version record and type library, and the program's icons
// and version record.
#include "support/library_support.h"

#include "com/resources.h"
#include "formats/type_library.h"

#include <QImage>
#include <QtEndian>

using namespace testing_support;
using fk::com::Resource;
using fk::com::ResourceTable;

namespace {

ResourceTable resourcesOf(const QString& builtName)
{
    QString error;
    auto table = ResourceTable::readFromFile(builtFile(builtName), &error);
    if (!table) {
        ADD_FAILURE() << builtName.toStdString() << ": " << error.toStdString();
        return {};
    }
    return *table;
}

QByteArray resource(const ResourceTable& table, const char* type, std::uint32_t id)
{
    const Resource* r = table.find(QLatin1String(type), id);
    if (!r) {
        ADD_FAILURE() << "no resource " << type << ' ' << id;
        return {};
    }
    return r->data;
}

std::uint16_t u16(const QByteArray& b, qsizetype at) { return qFromLittleEndian<std::uint16_t>(b.constData() + at); }
std::uint32_t u32(const QByteArray& b, qsizetype at) { return qFromLittleEndian<std::uint32_t>(b.constData() + at); }

// ---- Pictures ----------------------------------------------------------------------------

// The sixteen colours in their standard order, as the palette must list them.
const QRgb kStandardColours[16] = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
                                   0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

struct Picture {
    int headerWidth = 0, headerHeight = 0, planes = 0, bitCount = 0, compression = -1;
    std::vector<QRgb> palette;
    QImage image; // transparent pixels (icons) have alpha 0
};

// A 4-bit palette bitmap without file header; with a mask when it is an icon image.
Picture decode(const QByteArray& b, bool icon)
{
    Picture p;
    if (b.size() < 40 || u32(b, 0) != 40) {
        ADD_FAILURE() << "no 40-byte bitmap header";
        return p;
    }
    p.headerWidth = static_cast<int>(u32(b, 4));
    p.headerHeight = static_cast<int>(u32(b, 8));
    p.planes = u16(b, 12);
    p.bitCount = u16(b, 14);
    p.compression = static_cast<int>(u32(b, 16));
    const int colours = u32(b, 32) ? static_cast<int>(u32(b, 32)) : 16;
    for (int i = 0; i < colours; ++i)
        p.palette.push_back(qRgb(static_cast<uchar>(b[40 + 4 * i + 2]), static_cast<uchar>(b[40 + 4 * i + 1]),
                                 static_cast<uchar>(b[40 + 4 * i])));
    if (p.bitCount != 4 || p.compression != 0 || colours != 16)
        return p;
    const int width = p.headerWidth;
    const int height = icon ? p.headerHeight / 2 : p.headerHeight;
    const int stride = (width * 4 + 31) / 32 * 4;
    const int maskStride = (width + 31) / 32 * 4;
    const qsizetype pixels = 40 + 16 * 4;
    const qsizetype expected = pixels + qsizetype(stride) * height + (icon ? qsizetype(maskStride) * height : 0);
    EXPECT_EQ(b.size(), expected) << "the resource holds exactly the header, palette, rows and mask";
    if (b.size() < expected)
        return p;
    p.image = QImage(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y) {
        const int row = height - 1 - y; // rows are stored bottom-up
        for (int x = 0; x < width; ++x) {
            const auto byte = static_cast<uchar>(b[pixels + row * stride + x / 2]);
            const int index = x % 2 ? byte & 0x0F : byte >> 4;
            QRgb colour = p.palette[static_cast<std::size_t>(index)] | 0xFF000000;
            if (icon) {
                const auto maskByte = static_cast<uchar>(b[pixels + qsizetype(stride) * height + row * maskStride + x / 8]);
                if (maskByte & (0x80 >> (x % 8))) {
                    EXPECT_EQ(index, 0) << "a transparent pixel has colour 0, at " << x << ", " << y;
                    colour = 0;
                }
            }
            p.image.setPixel(x, y, colour);
        }
    }
    return p;
}

// The art as drawn, pixel by pixel: colour where the art has colour, transparent elsewhere.
void expectSameArt(const QImage& decoded, const QString& xpm)
{
    QImage art(xpm);
    ASSERT_FALSE(art.isNull()) << xpm.toStdString();
    art = art.convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(decoded.size(), art.size());
    int differences = 0;
    for (int y = 0; y < art.height(); ++y)
        for (int x = 0; x < art.width(); ++x) {
            const QRgb want = qAlpha(art.pixel(x, y)) ? art.pixel(x, y) : 0;
            if (decoded.pixel(x, y) != want && ++differences <= 5)
                ADD_FAILURE() << "pixel " << x << ", " << y << " is " << std::hex << decoded.pixel(x, y) << ", the art has "
                              << want;
        }
    EXPECT_EQ(differences, 0);
}

// ---- Version records -----------------------------------------------------------------------

struct Block {
    QString key;
    int type = 0;
    int valueLength = 0;
    QByteArray value;
    std::vector<Block> children;
};

qsizetype aligned(qsizetype at) { return (at + 3) / 4 * 4; }

Block readBlock(const QByteArray& b, qsizetype at, qsizetype limit)
{
    Block block;
    const qsizetype length = u16(b, at);
    EXPECT_GE(length, 6);
    EXPECT_LE(at + length, limit) << "a block runs past its parent";
    if (length < 6 || at + length > limit)
        return block;
    block.valueLength = u16(b, at + 2);
    block.type = u16(b, at + 4);
    qsizetype i = at + 6;
    while (i + 1 < at + length && u16(b, i))
        block.key += QChar(u16(b, i)), i += 2;
    const qsizetype valueAt = aligned(i + 2);
    const qsizetype valueBytes = block.type == 1 ? 2 * block.valueLength : block.valueLength;
    block.value = b.mid(valueAt, valueBytes);
    for (qsizetype child = aligned(valueAt + valueBytes); child + 6 <= at + length;) {
        const qsizetype childLength = u16(b, child);
        if (childLength < 6) {
            ADD_FAILURE() << "a block of " << childLength << " bytes inside '" << block.key.toStdString() << "'";
            break;
        }
        block.children.push_back(readBlock(b, child, at + length));
        child = aligned(child + childLength);
    }
    return block;
}

struct Version {
    std::uint32_t signature = 0, fileMS = 0, fileLS = 0, productMS = 0, productLS = 0, fileType = 0, fileOS = 0;
    QString tableKey;
    std::vector<std::pair<QString, QString>> strings;
    QByteArray translation;
};

Version readVersion(const QByteArray& b)
{
    Version v;
    if (b.size() < 6) {
        ADD_FAILURE() << "empty version record";
        return v;
    }
    EXPECT_EQ(u16(b, 0), b.size()) << "the record's length covers the resource";
    const Block root = readBlock(b, 0, b.size());
    EXPECT_EQ(root.key, QStringLiteral("VS_VERSION_INFO"));
    EXPECT_EQ(root.type, 0);
    EXPECT_EQ(root.valueLength, 52);
    if (root.value.size() != 52)
        return v;
    v.signature = u32(root.value, 0);
    EXPECT_EQ(u32(root.value, 4), 0x00010000u) << "structure version 1.0";
    v.fileMS = u32(root.value, 8);
    v.fileLS = u32(root.value, 12);
    v.productMS = u32(root.value, 16);
    v.productLS = u32(root.value, 20);
    v.fileOS = u32(root.value, 32);
    v.fileType = u32(root.value, 36);
    EXPECT_EQ(root.children.size(), 2u);
    for (const Block& child : root.children) {
        if (child.key == QLatin1String("StringFileInfo")) {
            EXPECT_EQ(child.children.size(), 1u);
            if (child.children.empty())
                continue;
            const Block& table = child.children.front();
            v.tableKey = table.key;
            for (const Block& s : table.children) {
                EXPECT_EQ(s.type, 1) << s.key.toStdString();
                QString text;
                for (qsizetype i = 0; i + 1 < s.value.size(); i += 2)
                    text += QChar(u16(s.value, i));
                EXPECT_TRUE(text.endsWith(QChar(0))) << s.key.toStdString() << " is NUL-terminated";
                text.chop(1);
                v.strings.emplace_back(s.key, text);
            }
        } else if (child.key == QLatin1String("VarFileInfo")) {
            EXPECT_EQ(child.children.size(), 1u);
            if (!child.children.empty() && child.children.front().key == QLatin1String("Translation"))
                v.translation = child.children.front().value;
        } else {
            ADD_FAILURE() << "unexpected block " << child.key.toStdString();
        }
    }
    return v;
}

using Strings = std::vector<std::pair<QString, QString>>;

// ---- The library ---------------------------------------------------------------------------

TEST(LibraryResources, CarryTheInterfaceIdentitiesAsLengthAndStandardBytes)
{
    const ResourceTable table = resourcesOf(QStringLiteral("Lumakey.ocx"));
    // {6F5550D2-7096-4A9C-AA54-F2BB84D0A99B}: the first three fields little-endian.
    EXPECT_EQ(resource(table, "_IID_BTN", 1),
              QByteArray::fromHex("10000000" "d250556f" "9670" "9c4a" "aa54f2bb84d0a99b"));
    // {F26C7975-6F91-4C53-BD8F-A230F902D283}
    EXPECT_EQ(resource(table, "_SRCIID_BTN", 1),
              QByteArray::fromHex("10000000" "75796cf2" "916f" "534c" "bd8fa230f902d283"));
}

TEST(LibraryResources, ToolboxBitmapIs16By15InTheSixteenStandardColours)
{
    const Picture bitmap = decode(resource(resourcesOf(QStringLiteral("Lumakey.ocx")), "BITMAP", 30000), false);
    EXPECT_EQ(bitmap.headerWidth, 16);
    EXPECT_EQ(bitmap.headerHeight, 15) << "positive: rows run bottom-up";
    EXPECT_EQ(bitmap.planes, 1);
    EXPECT_EQ(bitmap.bitCount, 4);
    EXPECT_EQ(bitmap.compression, 0);
    ASSERT_EQ(bitmap.palette.size(), 16u);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bitmap.palette[static_cast<std::size_t>(i)] & 0xFFFFFF, kStandardColours[i]) << "palette entry " << i;
    ASSERT_FALSE(bitmap.image.isNull());
    // Silver ground, the window's blue title bar, the pencil's yellow and red.
    EXPECT_EQ(bitmap.image.pixel(0, 0) & 0xFFFFFF, 0xC0C0C0u);
    EXPECT_EQ(bitmap.image.pixel(2, 4) & 0xFFFFFF, 0x000080u);
    EXPECT_EQ(bitmap.image.pixel(14, 0) & 0xFFFFFF, 0xFFFF00u);
    EXPECT_EQ(bitmap.image.pixel(8, 6) & 0xFFFFFF, 0xFF0000u);
    expectSameArt(bitmap.image, sourceFile(QStringLiteral("btn/art/toolbox.xpm")));
}

TEST(LibraryResources, VersionRecordHoldsExactlyTheLibrarysFields)
{
    const Version v = readVersion(resource(resourcesOf(QStringLiteral("Lumakey.ocx")), "VERSION", 1));
    EXPECT_EQ(v.signature, 0xFEEF04BDu);
    EXPECT_EQ(v.fileMS, 0x00010000u);
    EXPECT_EQ(v.fileLS, 0u);
    EXPECT_EQ(v.productMS, 0x00010000u);
    EXPECT_EQ(v.productLS, 0u);
    EXPECT_EQ(v.fileType, 2u) << "dynamic library";
    EXPECT_EQ(v.fileOS, 4u) << "32-bit platform";
    EXPECT_EQ(v.tableKey, QStringLiteral("040904B0")) << "language 0x0409, code page 1200";
    EXPECT_EQ(v.translation, QByteArray::fromHex("0904b004"));
    const Strings expected = {
        {QStringLiteral("ProductName"), QStringLiteral("Lumakey")},
        {QStringLiteral("FileVersion"), QStringLiteral("1.00")},
        {QStringLiteral("ProductVersion"), QStringLiteral("1.00")},
        {QStringLiteral("InternalName"), QStringLiteral("Lumakey")},
        {QStringLiteral("OriginalFilename"), QStringLiteral("Lumakey.ocx")},
        {QStringLiteral("OLESelfRegister"), QString()},
    };
    EXPECT_EQ(v.strings, expected);
}

TEST(LibraryResources, TypeLibraryDeclaresTheButtonsPublicSurface)
{
    QString error;
    const auto library =
        formats::TypeLibrary::parse(resource(resourcesOf(QStringLiteral("Lumakey.ocx")), "TYPELIB", 1), &error);
    ASSERT_TRUE(library) << error.toStdString();
    EXPECT_EQ(library->name, QStringLiteral("Lumakey"));
    EXPECT_EQ(library->helpString, QStringLiteral("Lumakey"));
    EXPECT_EQ(library->id.toString(), QString::fromLatin1(kTypeLibrary));
    EXPECT_EQ(library->majorVersion, 2);
    EXPECT_EQ(library->minorVersion, 0);
    EXPECT_EQ(library->locale, 0x0409u);
    EXPECT_TRUE(library->isControlLibrary);

    ASSERT_EQ(library->classes.size(), 1u);
    const auto& btn = library->classes.front();
    EXPECT_EQ(btn.name, QStringLiteral("btn"));
    EXPECT_EQ(btn.clsid.toString(), QString::fromLatin1(kButtonClass));
    EXPECT_EQ(btn.progId, QString(kButtonProgId));
    EXPECT_TRUE(btn.isControl);
    EXPECT_EQ(btn.miscStatus, 0x00020191u);
    EXPECT_EQ(btn.toolboxBitmap, 30000u);
    ASSERT_TRUE(library->interfaceAt(btn.defaultInterface));
    ASSERT_TRUE(library->interfaceAt(btn.eventInterface));
    EXPECT_EQ(library->interfaceAt(btn.defaultInterface)->name, QStringLiteral("_btn"));
    EXPECT_EQ(library->interfaceAt(btn.eventInterface)->name, QStringLiteral("__btn"));

    using fk::com::InvokeKind;
    using fk::com::ValueType;
    const auto* dual = library->findInterface(*fk::com::parseGuid(QString::fromLatin1(kButtonInterface)));
    ASSERT_TRUE(dual);
    EXPECT_EQ(dual->flags, std::uint32_t(fk::com::InterfaceDual | fk::com::InterfaceHidden));
    ASSERT_EQ(dual->members.size(), 3u);
    const struct {
        const char* name;
        std::int32_t id;
        InvokeKind kind;
        ValueType result;
        int arguments;
    } expectedSlots[] = {
        {"IsMouseOverControl", kDispIdIsMouseOverControl, InvokeKind::Method, ValueType::Bool, 0},
        {"Caption", kDispIdCaption, InvokeKind::PropertyGet, ValueType::Variant, 0},
        {"Caption", kDispIdCaption, InvokeKind::PropertyPut, ValueType::Void, 1},
    };
    for (std::size_t i = 0; i < 3; ++i) {
        const auto& m = dual->members[i];
        EXPECT_EQ(m.name, QLatin1String(expectedSlots[i].name)) << "slot " << i;
        EXPECT_EQ(m.id, expectedSlots[i].id) << "slot " << i;
        EXPECT_EQ(m.kind, expectedSlots[i].kind) << "slot " << i;
        EXPECT_EQ(m.result, expectedSlots[i].result) << "slot " << i;
        EXPECT_EQ(m.argumentCount, expectedSlots[i].arguments) << "slot " << i;
    }

    const auto* events = library->findInterface(*fk::com::parseGuid(QString::fromLatin1(kButtonEvents)));
    ASSERT_TRUE(events);
    EXPECT_EQ(events->flags, std::uint32_t(fk::com::InterfaceDispatchOnly | fk::com::InterfaceHidden));
    ASSERT_EQ(events->members.size(), 1u);
    EXPECT_EQ(events->members[0].name, QStringLiteral("Click"));
    EXPECT_EQ(events->members[0].id, 1);
    EXPECT_EQ(events->members[0].argumentCount, 0);
}

// ---- The program ---------------------------------------------------------------------------

TEST(ProgramResources, IconGroupOneHoldsTheWrenchAt32And16InSixteenColours)
{
    const ResourceTable table = resourcesOf(QStringLiteral("Corvane_ALPHA3"));
    const QByteArray group = resource(table, "GROUP_ICON", 1);
    ASSERT_EQ(group.size(), 6 + 2 * 14);
    EXPECT_EQ(u16(group, 0), 0);
    EXPECT_EQ(u16(group, 2), 1) << "a directory of icons";
    ASSERT_EQ(u16(group, 4), 2);
    const struct {
        int size;
        const char* art;
    } images[] = {{32, "app/art/wrench32.xpm"}, {16, "app/art/wrench16.xpm"}};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(images[i].art);
        const qsizetype at = 6 + i * 14;
        EXPECT_EQ(static_cast<uchar>(group[at]), images[i].size);
        EXPECT_EQ(static_cast<uchar>(group[at + 1]), images[i].size);
        EXPECT_EQ(static_cast<uchar>(group[at + 2]), 16) << "sixteen colours";
        EXPECT_EQ(u16(group, at + 4), 1) << "planes";
        EXPECT_EQ(u16(group, at + 6), 4) << "bits per pixel";
        const QByteArray icon = resource(table, "ICON", u16(group, at + 12));
        EXPECT_EQ(u32(group, at + 8), std::uint32_t(icon.size()));
        const Picture picture = decode(icon, true);
        EXPECT_EQ(picture.headerWidth, images[i].size);
        EXPECT_EQ(picture.headerHeight, 2 * images[i].size) << "colour rows and mask";
        EXPECT_EQ(picture.bitCount, 4);
        ASSERT_EQ(picture.palette.size(), 16u);
        for (int c = 0; c < 16; ++c)
            EXPECT_EQ(picture.palette[static_cast<std::size_t>(c)] & 0xFFFFFF, kStandardColours[c]);
        ASSERT_FALSE(picture.image.isNull());
        expectSameArt(picture.image, sourceFile(QLatin1String(images[i].art)));
    }
}

TEST(ProgramResources, VersionRecordNamesTheProgram)
{
    const ResourceTable table = resourcesOf(QStringLiteral("Corvane_ALPHA3"));
    const Version v = readVersion(resource(table, "VERSION", 1));
    EXPECT_EQ(v.signature, 0xFEEF04BDu);
    EXPECT_EQ(v.fileMS, 0x00010000u);
    EXPECT_EQ(v.fileLS, 0u);
    EXPECT_EQ(v.productMS, 0x00010000u);
    EXPECT_EQ(v.productLS, 0u);
    EXPECT_EQ(v.fileType, 1u) << "a program";
    EXPECT_TRUE(v.tableKey.startsWith(QStringLiteral("0409"))) << "language 1033: " << v.tableKey.toStdString();
    const Strings expected = {
        {QStringLiteral("ProductName"), QStringLiteral("Corvane")},
        {QStringLiteral("FileVersion"), QStringLiteral("1.00")},
        {QStringLiteral("ProductVersion"), QStringLiteral("1.00")},
        {QStringLiteral("InternalName"), QStringLiteral("Corvane_ALPHA3")},
        {QStringLiteral("OriginalFilename"), QStringLiteral("Corvane_ALPHA3.exe")},
    };
    EXPECT_EQ(v.strings, expected);
    // The manifest travels on beside them.
    EXPECT_TRUE(resource(table, "MANIFEST", 1).contains("progid=\"Lumakey.btn\""));
}

} // namespace
