#include "type_library_text.h"

#include <QStringList>

using namespace fk::com;
using namespace formats;

namespace {

QString typeName(ValueType type)
{
    switch (type) {
    case ValueType::Void: return QString();
    case ValueType::Bool: return QStringLiteral(" as Boolean");
    case ValueType::Variant: return QStringLiteral(" as Variant");
    case ValueType::Text: return QStringLiteral(" as String");
    }
    return QString();
}

QString kindName(InvokeKind kind)
{
    switch (kind) {
    case InvokeKind::Method: return QStringLiteral("method      ");
    case InvokeKind::PropertyGet: return QStringLiteral("property get");
    case InvokeKind::PropertyPut: return QStringLiteral("property let");
    }
    return QString();
}

} // namespace

QString hexText(std::uint32_t value, int digits)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString memberLine(const TypeLibrary::Member& m)
{
    const QString arguments =
        m.argumentCount ? QStringLiteral("%1 argument%2").arg(m.argumentCount).arg(m.argumentCount == 1 ? "" : "s") : QString();
    return hexText(static_cast<std::uint32_t>(m.id), 8) + QStringLiteral("  ") + kindName(m.kind) + QStringLiteral("  ") + m.name
           + QLatin1Char('(') + arguments + QLatin1Char(')') + typeName(m.result);
}

QString interfaceFlagsText(std::uint32_t flags)
{
    QStringList words;
    if (flags & InterfaceDual)
        words << QStringLiteral("dual");
    if (flags & InterfaceDispatchOnly)
        words << QStringLiteral("dispatch only");
    if (flags & InterfaceHidden)
        words << QStringLiteral("hidden");
    return words.join(QStringLiteral(", "));
}
