#include "formats/type_library.h"

#include "com/failure.h"

#include <QHash>
#include <QtEndian>
#include <cstring>

namespace formats {

using namespace fk::com;

namespace {

constexpr char kMagic[4] = {'F', 'K', 'T', 'L'};
constexpr std::uint32_t kFormat = 1;
constexpr qsizetype kHeaderSize = 56;
constexpr qsizetype kClassSize = 44;
constexpr qsizetype kInterfaceSize = 32;
constexpr qsizetype kMemberSize = 16;
constexpr std::uint32_t kControlFlag = 1;

// Builds the fixed-size records and the text pool separately; texts are placed once the
// size of the records is known.
class Writer {
public:
    void u16(std::uint32_t value)
    {
        char buffer[2];
        qToLittleEndian(static_cast<std::uint16_t>(value), buffer);
        records_.append(buffer, 2);
    }
    void u32(std::uint32_t value)
    {
        char buffer[4];
        qToLittleEndian(value, buffer);
        records_.append(buffer, 4);
    }
    void raw(const char* bytes, qsizetype size) { records_.append(bytes, size); }
    void identity(const Guid& id)
    {
        const auto bytes = id.toBytes();
        records_.append(reinterpret_cast<const char*>(bytes.data()), 16);
    }
    void text(const char* value)
    {
        const QByteArray utf8(value ? value : "");
        qsizetype at = pool_.indexOf(utf8 + '\0');
        // Only whole texts may be shared: the match must start a text of the pool.
        while (at > 0 && pool_[at - 1] != '\0')
            at = pool_.indexOf(utf8 + '\0', at + 1);
        if (at < 0) {
            at = pool_.size();
            pool_ += utf8;
            pool_ += '\0';
        }
        fixups_.push_back(records_.size());
        u32(static_cast<std::uint32_t>(at));
    }
    QByteArray finish()
    {
        const auto poolStart = static_cast<std::uint32_t>(records_.size());
        for (qsizetype at : fixups_) {
            const auto offset = qFromLittleEndian<std::uint32_t>(records_.constData() + at);
            qToLittleEndian(offset + poolStart, records_.data() + at);
        }
        return records_ + pool_;
    }

private:
    QByteArray records_;
    QByteArray pool_;
    std::vector<qsizetype> fixups_;
};

class Reader {
public:
    explicit Reader(QByteArrayView bytes) : bytes_(bytes) {}

    std::uint16_t u16(qsizetype at) const { return qFromLittleEndian<std::uint16_t>(bytes_.data() + at); }
    std::uint32_t u32(qsizetype at) const { return qFromLittleEndian<std::uint32_t>(bytes_.data() + at); }
    Guid identity(qsizetype at) const { return Guid::fromBytes(reinterpret_cast<const std::uint8_t*>(bytes_.data() + at)); }

    // The text at an offset read from `at`; nothing when it lies outside the pool.
    std::optional<QString> text(qsizetype at) const
    {
        const qsizetype offset = u32(at);
        if (offset < poolStart || offset >= bytes_.size())
            return std::nullopt;
        const char* start = bytes_.data() + offset;
        const void* end = std::memchr(start, 0, static_cast<std::size_t>(bytes_.size() - offset));
        if (!end)
            return std::nullopt;
        return QString::fromUtf8(start, static_cast<const char*>(end) - start);
    }

    qsizetype poolStart = 0;

private:
    QByteArrayView bytes_;
};

bool knownKind(std::uint16_t kind)
{
    return kind == std::uint16_t(InvokeKind::Method) || kind == std::uint16_t(InvokeKind::PropertyGet)
           || kind == std::uint16_t(InvokeKind::PropertyPut);
}

bool knownType(std::uint16_t type)
{
    return type == std::uint16_t(ValueType::Void) || type == std::uint16_t(ValueType::Bool)
           || type == std::uint16_t(ValueType::Variant) || type == std::uint16_t(ValueType::Text);
}

} // namespace

std::optional<QByteArray> TypeLibrary::write(const TypeLibraryInfo& info, QString* error)
{
    QHash<const InterfaceInfo*, std::uint32_t> indexOf;
    std::uint32_t memberCount = 0;
    for (std::size_t i = 0; i < info.interfaces.size(); ++i) {
        indexOf.insert(info.interfaces[i], static_cast<std::uint32_t>(i));
        memberCount += static_cast<std::uint32_t>(info.interfaces[i]->members.size());
    }
    const auto interfaceIndex = [&](const InterfaceInfo* i) -> std::optional<std::uint32_t> {
        if (!i)
            return kNoInterface;
        if (!indexOf.contains(i))
            return std::nullopt;
        return indexOf.value(i);
    };

    Writer w;
    w.raw(kMagic, 4);
    w.u32(kFormat);
    w.identity(info.id);
    w.u16(info.majorVersion);
    w.u16(info.minorVersion);
    w.u32(info.locale);
    w.u32(info.isControlLibrary ? kControlFlag : 0);
    w.text(info.name);
    w.text(info.helpString);
    w.u32(static_cast<std::uint32_t>(info.classes.size()));
    w.u32(static_cast<std::uint32_t>(info.interfaces.size()));
    w.u32(memberCount);

    for (const ClassInfo& c : info.classes) {
        const auto defaultInterface = interfaceIndex(c.defaultInterface);
        const auto eventInterface = interfaceIndex(c.eventInterface);
        if (!defaultInterface || !eventInterface)
            return fail(
                error, QStringLiteral("class '%1' names an interface the library does not list").arg(QLatin1String(c.name)));
        w.identity(c.clsid);
        w.text(c.name);
        w.text(c.progId);
        w.u32(c.isControl ? kControlFlag : 0);
        w.u32(c.miscStatus);
        w.u32(c.toolboxBitmap);
        w.u32(*defaultInterface);
        w.u32(*eventInterface);
    }
    std::uint32_t firstMember = 0;
    for (const InterfaceInfo* i : info.interfaces) {
        w.identity(i->iid);
        w.text(i->name);
        w.u32(i->flags);
        w.u32(firstMember);
        w.u32(static_cast<std::uint32_t>(i->members.size()));
        firstMember += static_cast<std::uint32_t>(i->members.size());
    }
    for (const InterfaceInfo* i : info.interfaces) {
        for (const MemberInfo& m : i->members) {
            w.text(m.name);
            w.u32(static_cast<std::uint32_t>(m.id));
            w.u16(static_cast<std::uint32_t>(m.kind));
            w.u16(static_cast<std::uint32_t>(m.result));
            w.u16(m.argumentCount);
            w.u16(0);
        }
    }
    return w.finish();
}

std::optional<TypeLibrary> TypeLibrary::parse(QByteArrayView bytes, QString* error)
{
    const qsizetype size = bytes.size();
    if (size < kHeaderSize || std::memcmp(bytes.data(), kMagic, 4) != 0)
        return fail(error, QStringLiteral("not a type library"));
    Reader r(bytes);
    if (r.u32(4) != kFormat)
        return fail(error, QStringLiteral("type library of an unknown format %1").arg(r.u32(4)));
    const std::uint64_t classCount = r.u32(44);
    const std::uint64_t interfaceCount = r.u32(48);
    const std::uint64_t memberCount = r.u32(52);
    const std::uint64_t recordsEnd =
        kHeaderSize + classCount * kClassSize + interfaceCount * kInterfaceSize + memberCount * kMemberSize;
    if (recordsEnd > static_cast<std::uint64_t>(size))
        return fail(error, QStringLiteral("the type library is cut short"));
    r.poolStart = static_cast<qsizetype>(recordsEnd);

    const auto badText = [&](const QString& what) {
        return fail(error, QStringLiteral("the name of %1 lies outside the type library's texts").arg(what));
    };
    TypeLibrary library;
    library.id = r.identity(8);
    library.majorVersion = r.u16(24);
    library.minorVersion = r.u16(26);
    library.locale = r.u32(28);
    library.isControlLibrary = r.u32(32) & kControlFlag;
    const auto name = r.text(36);
    const auto help = r.text(40);
    if (!name || !help)
        return badText(QStringLiteral("the library"));
    library.name = *name;
    library.helpString = *help;

    qsizetype at = kHeaderSize;
    for (std::uint64_t i = 0; i < classCount; ++i, at += kClassSize) {
        Class c;
        c.clsid = r.identity(at);
        const auto className = r.text(at + 16);
        const auto progId = r.text(at + 20);
        if (!className || !progId)
            return badText(QStringLiteral("class %1").arg(i));
        c.name = *className;
        c.progId = *progId;
        c.isControl = r.u32(at + 24) & kControlFlag;
        c.miscStatus = r.u32(at + 28);
        c.toolboxBitmap = r.u32(at + 32);
        c.defaultInterface = r.u32(at + 36);
        c.eventInterface = r.u32(at + 40);
        for (std::uint32_t index : {c.defaultInterface, c.eventInterface})
            if (index != kNoInterface && index >= interfaceCount)
                return fail(error, QStringLiteral("class '%1' names interface %2, which does not exist")
                                                        .arg(c.name)
                                                        .arg(index));
        library.classes.push_back(c);
    }
    const qsizetype membersAt = at + static_cast<qsizetype>(interfaceCount) * kInterfaceSize;
    for (std::uint64_t i = 0; i < interfaceCount; ++i, at += kInterfaceSize) {
        Interface iface;
        iface.iid = r.identity(at);
        const auto interfaceName = r.text(at + 16);
        if (!interfaceName)
            return badText(QStringLiteral("interface %1").arg(i));
        iface.name = *interfaceName;
        iface.flags = r.u32(at + 20);
        const std::uint64_t first = r.u32(at + 24);
        const std::uint64_t count = r.u32(at + 28);
        if (first + count > memberCount)
            return fail(error, QStringLiteral("the members of interface '%1' lie outside the member list")
                                                    .arg(iface.name));
        for (std::uint64_t m = first; m < first + count; ++m) {
            const qsizetype memberAt = membersAt + static_cast<qsizetype>(m) * kMemberSize;
            Member member;
            const auto memberName = r.text(memberAt);
            if (!memberName)
                return badText(QStringLiteral("member %1 of '%2'").arg(m).arg(iface.name));
            member.name = *memberName;
            member.id = static_cast<DISPID>(r.u32(memberAt + 4));
            const std::uint16_t kind = r.u16(memberAt + 8);
            const std::uint16_t result = r.u16(memberAt + 10);
            if (!knownKind(kind) || !knownType(result))
                return fail(error, QStringLiteral("member '%1' of '%2' has an unknown kind or type")
                                                        .arg(member.name, iface.name));
            member.kind = static_cast<InvokeKind>(kind);
            member.result = static_cast<ValueType>(result);
            member.argumentCount = r.u16(memberAt + 12);
            iface.members.push_back(member);
        }
        library.interfaces.push_back(std::move(iface));
    }
    return library;
}

const TypeLibrary::Interface* TypeLibrary::findInterface(const Guid& iid) const
{
    for (const Interface& i : interfaces)
        if (i.iid == iid)
            return &i;
    return nullptr;
}

const TypeLibrary::Class* TypeLibrary::findClass(const Guid& clsid) const
{
    for (const Class& c : classes)
        if (c.clsid == clsid)
            return &c;
    return nullptr;
}

const TypeLibrary::Interface* TypeLibrary::interfaceAt(std::uint32_t index) const
{
    return index < interfaces.size() ? &interfaces[index] : nullptr;
}

} // namespace formats
