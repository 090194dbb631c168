#pragma once

#include <QString>
#include <QWidget>
#include <memory>

#if defined(LUMAKEY_WIDGETS_BUILD)
#define LUMAKEY_WIDGETS_EXPORT Q_DECL_EXPORT
#else
#define LUMAKEY_WIDGETS_EXPORT Q_DECL_IMPORT
#endif

// The highlight button of the Lumakey control library, as a Qt widget for any Qt Widgets
// program: a flat, owner-painted push button that lights up while the pointer is over it.
//
// The widget creates the control Lumakey.btn through the component model, as every host of
// it does: from the control library installed beside this widget library, or failing that
// from the one the registry names. Should the control be missing or fail, the widget says
// why as a warning and stays an empty widget; an error inside the control never ends the
// program.
class LUMAKEY_WIDGETS_EXPORT LumakeyButton : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption DESIGNABLE true STORED true)

public:
    explicit LumakeyButton(QWidget* parent = nullptr);
    ~LumakeyButton() override;

    // The text on the button's face.
    QString caption() const;
    void setCaption(const QString& caption);

    // Whether the pointer is over the button's face now.
    Q_INVOKABLE bool isMouseOverControl() const;

    // Whether the control could be created; when not, a warning said why.
    bool hasControl() const;

    // The file of the control library the buttons come from, found as they find it (beside
    // this library, else through the registry); empty when there is none.
    static QString controlLibrary();

    // The size of the buttons of the program the control was made for.
    QSize sizeHint() const override;

signals:
    // The button was clicked: pressed and released over its face with the left button.
    void clicked();

private:
    class Hosted;
    std::unique_ptr<Hosted> hosted_;
};
