#include "lumakey_designer_plugin.h"

#include "lumakey_button.h"

#include "formats/toolbox_bitmap.h"

#include <QIcon>
#include <QPixmap>

namespace {

// The toolbox picture of the highlight button, as its control library carries it. Nothing
// when the library cannot be found or does not carry one; Designer then shows its default
// icon.
QIcon toolboxIcon()
{
    const QString library = LumakeyButton::controlLibrary();
    if (library.isEmpty())
        return {};
    const auto picture = formats::readToolboxBitmap(library, QStringLiteral("Lumakey.btn"), nullptr);
    return picture ? QIcon(QPixmap::fromImage(*picture)) : QIcon();
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
