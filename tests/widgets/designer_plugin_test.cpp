// The Qt Designer plugin as Designer loads it, and the widget it makes: the widget box's
// entry (group, icon, tool tip, the XML a new button starts from) and a live button.
#include "support/test_support.h"

#include "com/resources.h"
#include "formats/bitmap_resource.h"
#include "lumakey_button.h"

#include <QDomDocument>
#include <QIcon>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class DesignerPlugin : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(loader.load()) << loader.errorString().toStdString();
        plugin = qobject_cast<QDesignerCustomWidgetInterface*>(loader.instance());
        ASSERT_NE(plugin, nullptr) << "the plugin does not offer Designer's custom widget interface";
    }

    // The toolbox picture the control library carries, read here on its own.
    static QImage toolboxBitmap()
    {
        QString error;
        const auto resources =
            fk::com::ResourceTable::readFromFile(QStringLiteral(CORVANE_BUILD_BIN "/Lumakey.ocx"), &error);
        const fk::com::Resource* bitmap = resources ? resources->find(QStringLiteral("BITMAP"), 30000) : nullptr;
        const auto decoded = bitmap ? formats::decodeBitmap(bitmap->data, &error) : std::nullopt;
        return decoded ? decoded->image.convertToFormat(QImage::Format_ARGB32) : QImage();
    }

    QPluginLoader loader{QStringLiteral(CORVANE_BUILD_PLUGINS "/designer/liblumakey_designer.so")};
    QDesignerCustomWidgetInterface* plugin = nullptr;
};

TEST_F(DesignerPlugin, OffersTheButtonInTheLumakeyGroupWithTheControlsOwnToolboxPicture)
{
    EXPECT_EQ(plugin->name(), QStringLiteral("LumakeyButton"));
    EXPECT_EQ(plugin->group(), QStringLiteral("Lumakey"));
    EXPECT_EQ(plugin->toolTip(), QStringLiteral("Highlight button"));
    EXPECT_EQ(plugin->includeFile(), QStringLiteral("lumakey_button.h"));
    EXPECT_FALSE(plugin->isContainer());

    const QImage expected = toolboxBitmap();
    ASSERT_FALSE(expected.isNull()) << "the control library carries no toolbox bitmap 30000";
    const QImage icon = plugin->icon().pixmap(expected.size()).toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(icon.size(), expected.size());
    EXPECT_EQ(icon, expected) << "the icon is not the toolbox bitmap, pixel for pixel";
}

TEST_F(DesignerPlugin, ANewButtonIsALumakeyButtonWithACaptionThatUicAndDesignerRead)
{
    QDomDocument xml;
    ASSERT_TRUE(xml.setContent(plugin->domXml())) << plugin->domXml().toStdString();
    const QDomElement widget = xml.documentElement().firstChildElement(QStringLiteral("widget"));
    EXPECT_EQ(widget.attribute(QStringLiteral("class")), plugin->name());
    EXPECT_FALSE(widget.attribute(QStringLiteral("name")).isEmpty());
    const QDomElement property = widget.firstChildElement(QStringLiteral("property"));
    EXPECT_EQ(property.attribute(QStringLiteral("name")), QStringLiteral("caption"));
    EXPECT_EQ(property.firstChildElement(QStringLiteral("string")).text(), QStringLiteral("Highlight button"));
}

TEST_F(DesignerPlugin, MakesALiveButtonWhoseCaptionThePropertyEditorReadsAndWrites)
{
    QWidget form;
    QWidget* made = plugin->createWidget(&form);
    auto* button = qobject_cast<LumakeyButton*>(made);
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->hasControl());
    EXPECT_EQ(button->sizeHint(), QSize(105, 33)) << "the size of the program's own buttons";

    // Designer's property editor goes through the meta-object, as uic's code does not.
    const QMetaProperty caption = button->metaObject()->property(button->metaObject()->indexOfProperty("caption"));
    ASSERT_TRUE(caption.isValid());
    EXPECT_TRUE(caption.isDesignable());
    EXPECT_TRUE(caption.isStored());
    EXPECT_TRUE(button->setProperty("caption", QStringLiteral("Start")));
    EXPECT_EQ(button->property("caption").toString(), QStringLiteral("Start"));
    EXPECT_EQ(button->caption(), QStringLiteral("Start"));

    bool over = true;
    ASSERT_TRUE(QMetaObject::invokeMethod(button, "isMouseOverControl", Q_RETURN_ARG(bool, over)));
    QCursor::setPos(button->mapToGlobal(QPoint(-50, -50)));
    EXPECT_FALSE(button->isMouseOverControl());
}

} // namespace
