#include "forms/label.h"

#include "forms/accessibility.h"
#include "forms/container.h"
#include "forms/error_reporting.h"
#include "forms/mouse.h"

#include <QFontMetrics>
#include <QPainter>

namespace fk {

class LabelWidget : public QWidget {
public:
    explicit LabelWidget(Label& owner) : owner_(owner) { presentAs(this, QAccessible::StaticText); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        if (!owner_.transparent_)
            painter.fillRect(rect(), owner_.backColor_.toQColor());
        painter.setFont(owner_.qfont_);
        painter.setPen(owner_.foreColor_.toQColor());
        Qt::Alignment align = Qt::AlignTop;
        switch (owner_.alignment_) {
        case Alignment::Left: align |= Qt::AlignLeft; break;
        case Alignment::Right: align |= Qt::AlignRight; break;
        case Alignment::Center: align |= Qt::AlignHCenter; break;
        }
        painter.drawText(rect().adjusted(0, lineDrop(owner_.font_), 0, 0), static_cast<int>(align | Qt::TextWordWrap),
                         owner_.caption_);
    }

    void mousePressEvent(QMouseEvent* event) override { clicks_.pressed(event); }

    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (clicks_.released(event, this) && owner_.onClick)
            runHandler(owner_.onClick);
    }

private:
    Label& owner_;
    ClickTracker clicks_;
};

Label::Label(Container& container, const LabelProps& props)
    : Control(container, new LabelWidget(*this), props.rect, props.tabIndex), caption_(props.caption),
      foreColor_(props.foreColor), font_(props.font), qfont_(toQFont(props.font)), alignment_(props.alignment),
      autoSize_(props.autoSize), transparent_(props.transparent), backColor_(props.backColor)
{
    fitToText();
    widget()->setAccessibleName(caption_);
}

void Label::setCaption(const QString& caption)
{
    caption_ = caption;
    fitToText();
    // Tells assistive technology of the new text as well, which a screen reader announces.
    widget()->setAccessibleName(caption_);
    widget()->update();
}

void Label::setForeColor(Color color)
{
    foreColor_ = color;
    widget()->update();
}

void Label::setFont(const FontSpec& font)
{
    font_ = font;
    qfont_ = toQFont(font);
    fitToText();
    widget()->update();
}

void Label::setFontName(const QString& name) { setFont({name, font_.size, font_.bold, font_.italic}); }
void Label::setFontSize(double size) { setFont({font_.name, size, font_.bold, font_.italic}); }
void Label::setFontBold(bool bold) { setFont({font_.name, font_.size, bold, font_.italic}); }

void Label::fitToText()
{
    if (!autoSize_)
        return;
    const QFontMetrics metrics(qfont_);
    const QSize size = metrics.size(0, caption_);
    move(left(), top(), container().fromPixels(size.width()), container().fromPixels(size.height() + lineDrop(font_)));
}

} // namespace fk
