#include "formats/toolbox_bitmap.h"

#include "formats/bitmap_resource.h"
#include "formats/type_library.h"

#include "com/failure.h"
#include "com/guid.h"
#include "com/resources.h"

#include <algorithm>

namespace formats {

using fk::com::fail;

std::optional<QImage> readToolboxBitmap(const QString& library, const QString& progIdOrClassId, QString* error)
{
    QString why;
    const auto resources = fk::com::ResourceTable::readFromFile(library, &why);
    const fk::com::Resource* typeLibraryResource = resources ? resources->find(QStringLiteral("TYPELIB"), 1) : nullptr;
    if (!typeLibraryResource)
        return fail(error, QStringLiteral("library '%1' has no type library%2")
                               .arg(library, why.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(why)));
    const auto types = TypeLibrary::parse(typeLibraryResource->data, &why);
    if (!types)
        return fail(error, QStringLiteral("the type library of '%1' is damaged: %2").arg(library, why));
    const std::optional<fk::com::Guid> clsid = fk::com::parseGuid(progIdOrClassId);
    const auto named = std::ranges::find_if(types->classes, [&](const TypeLibrary::Class& c) {
        return clsid ? c.clsid == *clsid : c.progId.compare(progIdOrClassId, Qt::CaseInsensitive) == 0;
    });
    if (named == types->classes.end())
        return fail(error, QStringLiteral("the type library of '%1' does not describe class %2").arg(library, progIdOrClassId));
    const std::uint32_t id = named->toolboxBitmap;
    const fk::com::Resource* resource = resources->find(QStringLiteral("BITMAP"), id);
    if (!resource)
        return fail(error, QStringLiteral("library '%1' has no toolbox bitmap %2").arg(library).arg(id));
    const auto bitmap = decodeBitmap(resource->data, &why);
    if (!bitmap)
        return fail(error, QStringLiteral("the toolbox bitmap %1 of '%2' is damaged: %3").arg(id).arg(library, why));
    return bitmap->image;
}

} // namespace formats
