#include "com/type_info.h"

namespace fk::com {

const MemberInfo* InterfaceInfo::find(const QString& memberName) const
{
    for (const MemberInfo& m : members)
        if (memberName.compare(QLatin1String(m.name), Qt::CaseInsensitive) == 0)
            return &m;
    return nullptr;
}

const MemberInfo* InterfaceInfo::find(DISPID id, InvokeKind kind) const
{
    for (const MemberInfo& m : members)
        if (m.id == id && m.kind == kind)
            return &m;
    return nullptr;
}

} // namespace fk::com
