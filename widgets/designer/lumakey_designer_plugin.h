#pragma once

#include <QtUiPlugin/QDesignerCustomWidgetInterface>

// Puts LumakeyButton into Qt Designer's widget box, in the group "Lumakey", with the
// control's own toolbox picture as its icon. On a form the button is live: it shows its idle
// and hover looks as in a program, and its caption is edited in the property editor.
class LumakeyDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    explicit LumakeyDesignerPlugin(QObject* parent = nullptr);

    QString name() const override;
    QString group() const override;
    QString toolTip() const override;
    QString whatsThis() const override;
    QString includeFile() const override;
    QIcon icon() const override;
    bool isContainer() const override;
    QWidget* createWidget(QWidget* parent) override;
    bool isInitialized() const override;
    void initialize(QDesignerFormEditorInterface* core) override;
    QString domXml() const override;

private:
    bool initialized_ = false;
};
