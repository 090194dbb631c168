#pragma once

#include "core/color.h"
#include "forms/control.h"
#include "forms/font.h"

#include <QString>
#include <functional>

namespace fk {

enum class Alignment { Left, Right, Center };

struct LabelProps {
    TwipsRect rect;
    QString caption;
    Color foreColor = kDefaultTextColor;
    FontSpec font = defaultFont();
    Alignment alignment = Alignment::Left;
    bool autoSize = false;     // sized to its text, left and top staying put
    bool transparent = true;   // no background of its own
    Color backColor = kDefaultBackColor;
    int tabIndex = -1;
};

class LabelWidget;

// A label: text in a box, wrapped at the box's width, on a transparent or plain ground.
class Label : public Control {
public:
    Label(Container& container, const LabelProps& props);

    QString caption() const { return caption_; }
    void setCaption(const QString& caption);
    Color foreColor() const { return foreColor_; }
    void setForeColor(Color color);
    const FontSpec& font() const { return font_; }
    void setFont(const FontSpec& font);
    void setFontName(const QString& name);
    void setFontSize(double size);
    void setFontBold(bool bold);

    std::function<void()> onClick;

private:
    friend class LabelWidget;
    void fitToText();

    QString caption_;
    Color foreColor_;
    FontSpec font_;
    QFont qfont_;
    Alignment alignment_;
    bool autoSize_;
    bool transparent_;
    Color backColor_;
};

} // namespace fk
