#pragma once

#include <QWidget>
#include <optional>

namespace fk {

class Form;

// The window system's side of a form: it turns the close box into an unload and, for a
// window the window system gives no frame, draws the dialog frame itself around the
// client area that holds the form's controls.
class FormWindow : public QWidget {
public:
    FormWindow(Form& form, Qt::WindowFlags flags, bool drawsDialogFrame);

    // The widget that holds the form's controls and paints its background: the window
    // itself, or the area inside the frame the window draws.
    QWidget* clientArea() const { return clientArea_; }

    // Fixes the client area's size; a window with a frame of its own grows by the frame.
    void setClientSize(QSize size);

    // The window's place on the screen, frame included: where it was last sent, until the
    // window system tells where it is. A window without a frame of the window manager's is
    // where its client area is, which the toolkit knows without asking the server.
    QPoint place() const
    {
        return sentTo_.value_or(windowFlags().testFlag(Qt::FramelessWindowHint) ? geometry().topLeft() : pos());
    }
    void moveTo(QPoint place);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void moveEvent(QMoveEvent*) override { sentTo_.reset(); }

private:
    int frameWidth() const;

    Form& form_;
    QWidget* clientArea_;
    std::optional<QPoint> sentTo_;
};

} // namespace fk
