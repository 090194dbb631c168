#pragma once

#include "core/color.h"
#include "forms/container.h"
#include "forms/control.h"
#include "forms/font.h"
#include "forms/mouse.h"
#include "forms/surface.h"
#include "forms/text_measure.h"

namespace fk {

struct PictureBoxProps {
    TwipsRect rect;
    Color backColor = 0xF0F0F0;
    Color foreColor = kDefaultTextColor;
    ScaleMode scaleMode = ScaleMode::Twips;
    int tabIndex = -1;
};

class PictureBoxWidget;

// A picture box: a container for other controls and a drawing surface. What is drawn on it
// is kept in an off-screen image, which the window shows when it next paints, so a whole
// batch of drawing reaches the screen at once and survives being covered.
class PictureBox : public Control, public Container {
public:
    PictureBox(Container& container, const PictureBoxProps& props);

    QWidget* clientWidget() const override { return widget(); }
    Form* ownerForm() override { return container().ownerForm(); }

    Color backColor() const { return backColor_; }
    // Setting the background colour clears the drawing.
    void setBackColor(Color color);
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color color) { foreColor_ = color; }

    const FontSpec& font() const { return font_; }
    void setFont(const FontSpec& font);
    void setFontName(const QString& name);
    void setFontSize(double size);
    void setFontBold(bool bold);

    float currentX() const { return currentX_; }
    float currentY() const { return currentY_; }
    void setCurrentX(double x) { currentX_ = static_cast<float>(x); }
    void setCurrentY(double y) { currentY_ = static_cast<float>(y); }

    // Drawing, in the scale unit.
    void cls();
    void line(double x1, double y1, double x2, double y2, Color color);
    void box(double x1, double y1, double x2, double y2, Color color);
    void filledBox(double x1, double y1, double x2, double y2, Color color);
    // Draws the text at the current position in the current colour and font, then moves
    // the current position to the start of the next line.
    void print(const QString& text);
    float textWidth(const QString& text) const;
    float textHeight(const QString& text) const;

    // What is drawn, pixel for pixel.
    const QImage& image() const { return surface_.image(); }
    // Counts every change to the drawing: equal counts mean nothing was drawn in between.
    quint64 drawCount() const { return drawCount_; }

    MouseHandler onMouseDown;
    MouseHandler onMouseUp;
    std::function<void()> onClick;

protected:
    // The image follows the control's size at once, shown or not.
    void applyGeometry() override;

private:
    friend class PictureBoxWidget;
    PictureBoxWidget* view() const;
    void drawn();

    Surface surface_;
    mutable TextMeasure measure_;
    Color backColor_;
    Color foreColor_;
    FontSpec font_ = defaultFont();
    QFont qfont_ = toQFont(font_);
    float currentX_ = 0;
    float currentY_ = 0;
    quint64 drawCount_ = 0;
};

} // namespace fk
