#include "forms/picturebox.h"

#include "forms/error_reporting.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <cstring>

namespace fk {

namespace {

// Byte for byte: much cheaper than comparing pixel by pixel, and exact for images of one
// format whose unused bits are always set the same way.
bool samePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size() && a.format() == b.format() && a.bytesPerLine() == b.bytesPerLine()
           && std::memcmp(a.constBits(), b.constBits(), static_cast<std::size_t>(a.sizeInBytes())) == 0;
}

} // namespace

// Shows the picture box's image and passes the mouse on to its handlers. A change to the
// image asks for a repaint once per turn of the event loop, and only when the pixels differ
// from what was last shown, so redrawing the same picture over and over costs the display
// nothing. Whenever the window does paint, it shows the image as it is at that moment.
class PictureBoxWidget : public QWidget {
public:
    explicit PictureBoxWidget(PictureBox& owner) : owner_(owner) { setAttribute(Qt::WA_OpaquePaintEvent); }

    void scheduleShow()
    {
        if (showPending_)
            return;
        showPending_ = true;
        QMetaObject::invokeMethod(this, [this] { showDrawing(); }, Qt::QueuedConnection);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.drawImage(0, 0, owner_.surface_.image());
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        clicks_.pressed(event);
        deliver(owner_.onMouseDown, event);
    }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        QPointer<PictureBoxWidget> alive(this);
        deliver(owner_.onMouseUp, event);
        if (alive && clicks_.released(event, this) && owner_.onClick)
            runHandler(owner_.onClick);
    }

private:
    void deliver(const MouseHandler& handler, QMouseEvent* event)
    {
        if (!handler)
            return;
        const short button = mouseButtonOf(event);
        const short shift = shiftStateOf(event);
        const auto x = static_cast<float>(owner_.fromPixels(event->position().x()));
        const auto y = static_cast<float>(owner_.fromPixels(event->position().y()));
        runHandler([&] { handler(button, shift, x, y); });
    }

    void showDrawing()
    {
        showPending_ = false;
        if (samePixels(shown_, owner_.surface_.image()))
            return;
        // A copy of its own: sharing the pixels would make the next drawing copy them.
        shown_ = owner_.surface_.image().copy();
        update();
    }

    PictureBox& owner_;
    QImage shown_;
    ClickTracker clicks_;
    bool showPending_ = false;
};

PictureBox::PictureBox(Container& container, const PictureBoxProps& props)
    : Control(container, new PictureBoxWidget(*this), props.rect, props.tabIndex), backColor_(props.backColor),
      foreColor_(props.foreColor)
{
    Container::setScaleMode(props.scaleMode);
    surface_.resize(widget()->width(), widget()->height(), backColor_);
    surface_.clear(backColor_);
    drawn();
}

void PictureBox::applyGeometry()
{
    Control::applyGeometry();
    surface_.resize(widget()->width(), widget()->height(), backColor_);
    drawn();
}

PictureBoxWidget* PictureBox::view() const { return static_cast<PictureBoxWidget*>(widget()); }

void PictureBox::drawn()
{
    ++drawCount_;
    if (auto* v = view())
        v->scheduleShow();
}

void PictureBox::setBackColor(Color color)
{
    backColor_ = color;
    cls();
}

void PictureBox::setFont(const FontSpec& font)
{
    font_ = font;
    qfont_ = toQFont(font_);
}

void PictureBox::setFontName(const QString& name) { setFont({name, font_.size, font_.bold, font_.italic}); }
void PictureBox::setFontSize(double size) { setFont({font_.name, size, font_.bold, font_.italic}); }
void PictureBox::setFontBold(bool bold) { setFont({font_.name, font_.size, bold, font_.italic}); }

void PictureBox::cls()
{
    surface_.clear(backColor_);
    currentX_ = currentY_ = 0;
    drawn();
}

void PictureBox::line(double x1, double y1, double x2, double y2, Color color)
{
    surface_.segment(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), color);
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
    drawn();
}

void PictureBox::box(double x1, double y1, double x2, double y2, Color color)
{
    surface_.box(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), color, false);
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
    drawn();
}

void PictureBox::filledBox(double x1, double y1, double x2, double y2, Color color)
{
    surface_.box(toPixels(x1), toPixels(y1), toPixels(x2), toPixels(y2), color, true);
    currentX_ = static_cast<float>(x2);
    currentY_ = static_cast<float>(y2);
    drawn();
}

void PictureBox::print(const QString& text)
{
    surface_.text(toPixels(currentX_), toPixels(currentY_), text, qfont_, foreColor_);
    currentY_ += textHeight(text);
    currentX_ = 0;
    drawn();
}

float PictureBox::textWidth(const QString& text) const
{
    return static_cast<float>(fromPixels(measure_.width(qfont_, text)));
}

float PictureBox::textHeight(const QString&) const
{
    return static_cast<float>(fromPixels(measure_.height(qfont_)));
}

} // namespace fk
