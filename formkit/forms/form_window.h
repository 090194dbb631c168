#pragma once

#include <QTimer>
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
    // toolkit hears where it is; and how far that is from the place the toolkit knows.
    QPoint place() const { return sentTo_.value_or(heardPlace()); }
    QPoint unheardMove() const { return place() - heardPlace(); }
    void moveTo(QPoint place);

protected:
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent*) override { sentTo_.reset(); }

private:
    int frameWidth() const;
    // A window without a frame of the window manager's is where its client area is, which
    // the toolkit knows without asking the server.
    QPoint heardPlace() const { return windowFlags().testFlag(Qt::FramelessWindowHint) ? geometry().topLeft() : pos(); }

    Form& form_;
    QWidget* clientArea_;
    std::optional<QPoint> sentTo_;
    // Runs from each move until the window rests; while it moves on before that, the toolkit
    // hears nothing of its moves.
    QTimer rest_;
    bool noticesHeld_ = false;
};

// Where a widget's top-left corner lies on the screen: as the toolkit knows it, moved on by
// as far as its form's window was sent since the toolkit last heard of the window's place.
QPoint screenPositionOf(const QWidget* widget);

} // namespace fk
