#include "formats/version_record.h"

#include "com/failure.h"
#include "com/little_endian.h"

#include <QStringList>
#include <QtEndian>
#include <algorithm>

namespace formats {

using fk::com::fail;

namespace {

using namespace fk::com::little_endian;

constexpr int kFixedPartSize = 52;
constexpr int kTypeBinary = 0;
constexpr int kTypeText = 1;

const QString kRootKey = QStringLiteral("VS_VERSION_INFO");
const QString kStringFileInfo = QStringLiteral("StringFileInfo");
const QString kVarFileInfo = QStringLiteral("VarFileInfo");
const QString kTranslation = QStringLiteral("Translation");

// ---- Source form ----------------------------------------------------------------------

// Splits a line into words and quoted texts; a '#' outside quotes ends the line.
std::optional<QStringList> tokens(const QString& line, QString* error)
{
    QStringList words;
    qsizetype i = 0;
    while (i < line.size()) {
        const QChar c = line[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('#')) {
            break;
        } else if (c == QLatin1Char('"')) {
            QString text;
            ++i;
            bool closed = false;
            while (i < line.size()) {
                QChar d = line[i++];
                if (d == QLatin1Char('"')) {
                    closed = true;
                    break;
                }
                if (d == QLatin1Char('\\') && i < line.size())
                    d = line[i++];
                text += d;
            }
            if (!closed)
                return fail(error, QStringLiteral("a quoted text is not closed"));
            // A leading quote keeps texts apart from words; it is taken off again below.
            words << QLatin1Char('"') + text;
        } else {
            const qsizetype start = i;
            while (i < line.size() && !line[i].isSpace() && line[i] != QLatin1Char('"') && line[i] != QLatin1Char('#'))
                ++i;
            words << line.mid(start, i - start);
        }
    }
    return words;
}

bool isQuoted(const QString& token) { return token.startsWith(QLatin1Char('"')); }

std::optional<std::uint32_t> number(const QString& token, std::uint32_t maximum)
{
    bool ok = false;
    const qulonglong value = token.toULongLong(&ok, 0);
    if (!ok || isQuoted(token) || value > maximum)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::array<std::uint16_t, 4>> versionNumber(const QString& token)
{
    const QStringList parts = token.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    std::array<std::uint16_t, 4> version{};
    for (std::size_t i = 0; i < 4; ++i) {
        bool ok = false;
        const uint part = parts[static_cast<qsizetype>(i)].toUInt(&ok, 10);
        if (!ok || part > 0xFFFF)
            return std::nullopt;
        version[i] = static_cast<std::uint16_t>(part);
    }
    return version;
}

// ---- Binary form ----------------------------------------------------------------------



void padTo32Bits(QByteArray& out)
{
    while (out.size() % 4)
        out.append('\0');
}

void appendUtf16(QByteArray& out, const QString& text)
{
    for (QChar c : text)
        appendU16(out, c.unicode());
    appendU16(out, 0);
}

QByteArray block(const QString& key, int type, const QByteArray& value, std::uint32_t valueLength,
                 const std::vector<QByteArray>& children)
{
    QByteArray out(6, '\0');
    appendUtf16(out, key);
    padTo32Bits(out);
    out += value;
    for (const QByteArray& child : children) {
        padTo32Bits(out);
        out += child;
    }
    qToLittleEndian(static_cast<std::uint16_t>(out.size()), out.data());
    qToLittleEndian(static_cast<std::uint16_t>(valueLength), out.data() + 2);
    qToLittleEndian(static_cast<std::uint16_t>(type), out.data() + 4);
    return out;
}

QByteArray textBlock(const QString& key, const QString& text)
{
    QByteArray value;
    appendUtf16(value, text);
    return block(key, kTypeText, value, static_cast<std::uint32_t>(text.size() + 1), {});
}

qsizetype alignedTo32Bits(qsizetype offset) { return (offset + 3) & ~qsizetype(3); }

// One block read from the record. Offsets count from the start of the record, so that
// alignment is that of the whole record.
struct Block {
    QString key;
    int type = 0;
    int valueLength = 0;
    qsizetype valueAt = 0;
    qsizetype valueBytes = 0;
    qsizetype childrenAt = 0;
    qsizetype end = 0;
};

std::optional<Block> readBlock(QByteArrayView bytes, qsizetype at, qsizetype limit, QString* error)
{
    if (at + 6 > limit)
        return fail(error, QStringLiteral("a block at offset %1 is cut short").arg(at));
    Block b;
    const qsizetype length = qFromLittleEndian<std::uint16_t>(bytes.data() + at);
    b.valueLength = qFromLittleEndian<std::uint16_t>(bytes.data() + at + 2);
    b.type = qFromLittleEndian<std::uint16_t>(bytes.data() + at + 4);
    b.end = at + length;
    if (length < 6 || b.end > limit)
        return fail(error, QStringLiteral("the block at offset %1 has a length of %2 bytes, which does not fit")
                                          .arg(at)
                                          .arg(length));
    if (b.type != kTypeBinary && b.type != kTypeText)
        return fail(error, QStringLiteral("the block at offset %1 has an unknown type %2").arg(at).arg(b.type));
    qsizetype i = at + 6;
    for (;; i += 2) {
        if (i + 2 > b.end)
            return fail(error, QStringLiteral("the key of the block at offset %1 is not terminated").arg(at));
        const char16_t c = qFromLittleEndian<std::uint16_t>(bytes.data() + i);
        if (c == 0)
            break;
        b.key += QChar(c);
    }
    b.valueAt = alignedTo32Bits(i + 2);
    b.valueBytes = b.type == kTypeText ? qsizetype(b.valueLength) * 2 : b.valueLength;
    if (b.valueAt + b.valueBytes > b.end) {
        if (b.valueBytes == 0) {
            b.valueAt = b.end;
        } else {
            return fail(error, QStringLiteral("the value of block '%1' runs past its end").arg(b.key));
        }
    }
    b.childrenAt = alignedTo32Bits(b.valueAt + b.valueBytes);
    return b;
}

// The blocks directly inside a block.
std::optional<std::vector<Block>> childrenOf(QByteArrayView bytes, const Block& parent, QString* error)
{
    std::vector<Block> children;
    for (qsizetype at = parent.childrenAt; at < parent.end; at = alignedTo32Bits(at)) {
        const auto child = readBlock(bytes, at, parent.end, error);
        if (!child)
            return std::nullopt;
        children.push_back(*child);
        at = child->end;
    }
    return children;
}

QString textValue(QByteArrayView bytes, const Block& b)
{
    QString text;
    for (qsizetype i = 0; i < b.valueBytes; i += 2) {
        const char16_t c = qFromLittleEndian<std::uint16_t>(bytes.data() + b.valueAt + i);
        if (c == 0)
            break;
        text += QChar(c);
    }
    return text;
}

} // namespace

std::optional<VersionRecord> VersionRecord::parseSource(const QByteArray& text, QString* error)
{
    VersionRecord record;
    bool haveFile = false, haveProduct = false, haveType = false;
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const auto where = [&](const QString& why) { return QStringLiteral("line %1: %2").arg(n + 1).arg(why); };
        QString tokenError;
        const auto words = tokens(lines[n], &tokenError);
        if (!words)
            return fail(error, where(tokenError));
        if (words->isEmpty())
            continue;
        const QString keyword = words->first().toUpper();
        const QStringList args = words->mid(1);
        const auto wantArgs = [&](qsizetype count) { return args.size() == count; };
        if (keyword == QLatin1String("FILEVERSION") || keyword == QLatin1String("PRODUCTVERSION")) {
            const auto version = wantArgs(1) ? versionNumber(args[0]) : std::nullopt;
            if (!version)
                return fail(error, where(QStringLiteral("%1 needs a version a.b.c.d").arg(keyword)));
            (keyword == QLatin1String("FILEVERSION") ? record.fileVersion : record.productVersion) = *version;
            (keyword == QLatin1String("FILEVERSION") ? haveFile : haveProduct) = true;
        } else if (keyword == QLatin1String("FILETYPE")) {
            const QString type = wantArgs(1) ? args[0].toLower() : QString();
            if (type == QLatin1String("library"))
                record.fileType = kTypeLibrary;
            else if (type == QLatin1String("program"))
                record.fileType = kTypeProgram;
            else
                return fail(error, where(QStringLiteral("FILETYPE is 'library' or 'program'")));
            haveType = true;
        } else if (keyword == QLatin1String("LANGUAGE") || keyword == QLatin1String("CODEPAGE")) {
            const auto value = wantArgs(1) ? number(args[0], 0xFFFF) : std::nullopt;
            if (!value)
                return fail(error, where(QStringLiteral("%1 needs a 16-bit number").arg(keyword)));
            (keyword == QLatin1String("LANGUAGE") ? record.language : record.codePage) = static_cast<std::uint16_t>(*value);
        } else if (keyword == QLatin1String("FILEFLAGSMASK") || keyword == QLatin1String("FILEFLAGS")
                   || keyword == QLatin1String("FILEOS") || keyword == QLatin1String("FILESUBTYPE")) {
            const auto value = wantArgs(1) ? number(args[0], 0xFFFFFFFF) : std::nullopt;
            if (!value)
                return fail(error, where(QStringLiteral("%1 needs a 32-bit number").arg(keyword)));
            if (keyword == QLatin1String("FILEFLAGSMASK"))
                record.fileFlagsMask = *value;
            else if (keyword == QLatin1String("FILEFLAGS"))
                record.fileFlags = *value;
            else if (keyword == QLatin1String("FILEOS"))
                record.fileOS = *value;
            else
                record.fileSubtype = *value;
        } else if (keyword == QLatin1String("STRING")) {
            if (!wantArgs(2) || isQuoted(args[0]) || !isQuoted(args[1]))
                return fail(error, where(QStringLiteral("STRING needs a name and a quoted text")));
            if (record.string(args[0]))
                return fail(error, where(QStringLiteral("string '%1' is given twice").arg(args[0])));
            record.strings.emplace_back(args[0], args[1].mid(1));
        } else {
            return fail(error, where(QStringLiteral("unknown statement '%1'").arg(words->first())));
        }
    }
    if (!haveFile || !haveProduct || !haveType)
        return fail(error, QStringLiteral("FILEVERSION, PRODUCTVERSION and FILETYPE are required"));
    return record;
}

QByteArray VersionRecord::toBinary() const
{
    QByteArray fixed;
    appendU32(fixed, kSignature);
    appendU32(fixed, 0x00010000);
    appendU32(fixed, std::uint32_t(fileVersion[0]) << 16 | fileVersion[1]);
    appendU32(fixed, std::uint32_t(fileVersion[2]) << 16 | fileVersion[3]);
    appendU32(fixed, std::uint32_t(productVersion[0]) << 16 | productVersion[1]);
    appendU32(fixed, std::uint32_t(productVersion[2]) << 16 | productVersion[3]);
    appendU32(fixed, fileFlagsMask);
    appendU32(fixed, fileFlags);
    appendU32(fixed, fileOS);
    appendU32(fixed, fileType);
    appendU32(fixed, fileSubtype);
    appendU32(fixed, 0);
    appendU32(fixed, 0);

    std::vector<QByteArray> texts;
    for (const auto& [key, value] : strings)
        texts.push_back(textBlock(key, value));
    const QString tableKey =
        QStringLiteral("%1%2").arg(language, 4, 16, QLatin1Char('0')).arg(codePage, 4, 16, QLatin1Char('0')).toUpper();
    const QByteArray stringTable = block(tableKey, kTypeText, {}, 0, texts);
    const QByteArray stringInfo = block(kStringFileInfo, kTypeText, {}, 0, {stringTable});

    QByteArray translationValue;
    appendU16(translationValue, language);
    appendU16(translationValue, codePage);
    const QByteArray translation = block(kTranslation, kTypeBinary, translationValue, 4, {});
    const QByteArray varInfo = block(kVarFileInfo, kTypeText, {}, 0, {translation});

    return block(kRootKey, kTypeBinary, fixed, kFixedPartSize, {stringInfo, varInfo});
}

std::optional<VersionRecord> VersionRecord::fromBinary(QByteArrayView bytes, QString* error)
{
    const auto root = readBlock(bytes, 0, bytes.size(), error);
    if (!root)
        return std::nullopt;
    if (root->key != kRootKey || root->type != kTypeBinary || root->valueLength != kFixedPartSize)
        return fail(error, QStringLiteral("not a version record"));
    const auto u32 = [&](int index) { return qFromLittleEndian<std::uint32_t>(bytes.data() + root->valueAt + 4 * index); };
    if (u32(0) != kSignature)
        return fail(error, QStringLiteral("the fixed part has a wrong signature"));
    VersionRecord record;
    const auto split = [](std::uint32_t high, std::uint32_t low) {
        return std::array<std::uint16_t, 4>{static_cast<std::uint16_t>(high >> 16), static_cast<std::uint16_t>(high),
                                            static_cast<std::uint16_t>(low >> 16), static_cast<std::uint16_t>(low)};
    };
    record.fileVersion = split(u32(2), u32(3));
    record.productVersion = split(u32(4), u32(5));
    record.fileFlagsMask = u32(6);
    record.fileFlags = u32(7);
    record.fileOS = u32(8);
    record.fileType = u32(9);
    record.fileSubtype = u32(10);

    const auto children = childrenOf(bytes, *root, error);
    if (!children)
        return std::nullopt;
    bool haveTable = false;
    std::vector<std::pair<std::uint16_t, std::uint16_t>> translations;
    for (const Block& child : *children) {
        const auto grandChildren = childrenOf(bytes, child, error);
        if (!grandChildren)
            return std::nullopt;
        if (child.key == kStringFileInfo) {
            if (grandChildren->size() != 1)
                return fail(error, QStringLiteral("the record holds %1 string tables, not one")
                                                          .arg(grandChildren->size()));
            const Block& table = grandChildren->front();
            bool okLanguage = false, okCodePage = false;
            const uint tableLanguage = table.key.left(4).toUInt(&okLanguage, 16);
            const uint tableCodePage = table.key.mid(4).toUInt(&okCodePage, 16);
            if (table.key.size() != 8 || !okLanguage || !okCodePage)
                return fail(error, QStringLiteral("string table key '%1' is not eight hex digits").arg(table.key));
            record.language = static_cast<std::uint16_t>(tableLanguage);
            record.codePage = static_cast<std::uint16_t>(tableCodePage);
            const auto texts = childrenOf(bytes, table, error);
            if (!texts)
                return std::nullopt;
            for (const Block& text : *texts) {
                if (text.type != kTypeText)
                    return fail(error, QStringLiteral("string '%1' is not text").arg(text.key));
                record.strings.emplace_back(text.key, textValue(bytes, text));
            }
            haveTable = true;
        } else if (child.key == kVarFileInfo) {
            for (const Block& var : *grandChildren) {
                if (var.key != kTranslation)
                    continue;
                if (var.type != kTypeBinary || var.valueBytes < 4 || var.valueBytes % 4)
                    return fail(error, QStringLiteral("the translation entry is damaged"));
                for (qsizetype i = 0; i < var.valueBytes; i += 4)
                    translations.emplace_back(qFromLittleEndian<std::uint16_t>(bytes.data() + var.valueAt + i),
                                              qFromLittleEndian<std::uint16_t>(bytes.data() + var.valueAt + i + 2));
            }
        }
    }
    if (!haveTable)
        return fail(error, QStringLiteral("the record holds no string table"));
    // The translation list names the languages the strings come in; ours has the one.
    const std::pair<std::uint16_t, std::uint16_t> tableLanguage{record.language, record.codePage};
    if (std::find(translations.begin(), translations.end(), tableLanguage) == translations.end())
        return fail(error, QStringLiteral("the translation list does not name the string table's language"));
    return record;
}

std::optional<QString> VersionRecord::string(const QString& key) const
{
    for (const auto& [name, value] : strings)
        if (name == key)
            return value;
    return std::nullopt;
}

QString VersionRecord::versionText(const std::array<std::uint16_t, 4>& version)
{
    return QStringLiteral("%1.%2.%3.%4").arg(version[0]).arg(version[1]).arg(version[2]).arg(version[3]);
}

} // namespace formats
