#include "lumakey_designer_plugin.h"

#include "lumakey_button.h"

#include "com/resources.h"
#include "formats/bitmap_resource.h"
#include "formats/type_library.h"

#include <QIcon>
#include <QPixmap>
#include <algorithm>

namespace {

// The toolbox picture of the highlight button, as its control library carries it: the
// resource its type library names for the class. Nothing when the library cannot be found
// or does not carry one; Designer then shows its default icon.
QIcon toolboxIcon()
{
    const QString library = LumakeyButton::controlLibrary();
    if (library.isEmpty())
        return {};
    QString error;
    const auto resources = fk::com::ResourceTable::readFromFile(library, &error);
    const fk::com::Resource* typeLibrary = resources ? resources->find(QStringLiteral("TYPELIB"), 1) : nullptr;
    const auto types = typeLibrary ? formats::TypeLibrary::parse(typeLibrary->data, &error) : std::nullopt;
    if (!types)
        return {};
    const auto button = std::ranges::find(types->classes, QStringLiteral("Lumakey.btn"), &formats::TypeLibrary::Class::progId);
    if (button == types->classes.end())
        return {};
    const fk::com::Resource* picture = resources->find(QStringLiteral("BITMAP"), button->toolboxBitmap);
    const auto bitmap = picture ? formats::decodeBitmap(picture->data, &error) : std::nullopt;
    return bitmap ? QIcon(QPixmap::fromImage(bitmap->image)) : QIcon();
}

} // namespace

LumakeyDesignerPlugin::LumakeyDesignerPlugin(QObject* parent) : QObject(parent) {}

QString LumakeyDesignerPlugin::name() const { return QStringLiteral("LumakeyButton"); }
QString LumakeyDesignerPlugin::group() const { return QStringLiteral("Lumakey"); }
QString LumakeyDesignerPlugin::toolTip() const { return QStringLiteral("Highlight button"); }

QString LumakeyDesignerPlugin::whatsThis() const
{
    return QStringLiteral("A flat, owner-painted push button that lights up while the pointer is over it.");
}

QString LumakeyDesignerPlugin::includeFile() const { return QStringLiteral("lumakey_button.h"); }
QIcon LumakeyDesignerPlugin::icon() const { return toolboxIcon(); }
bool LumakeyDesignerPlugin::isContainer() const { return false; }
QWidget* LumakeyDesignerPlugin::createWidget(QWidget* parent) { return new LumakeyButton(parent); }
bool LumakeyDesignerPlugin::isInitialized() const { return initialized_; }
void LumakeyDesignerPlugin::initialize(QDesignerFormEditorInterface*) { initialized_ = true; }

// The button comes onto a form in its usual size (its size hint), with a caption to edit.
QString LumakeyDesignerPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="LumakeyButton" name="lumakeyButton">
  <property name="caption">
   <string>Highlight button</string>
  </property>
 </widget>
</ui>
)");
}
