#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace fk {

// Measures text in a font, in pixels, remembering the last answer: controls that measure
// the same caption on every repaint do the text layout once.
class TextMeasure {
public:
    int width(const QFont& font, const QString& text)
    {
        if (!(font == widthFont_ && text == widthText_)) {
            widthFont_ = font;
            widthText_ = text;
            width_ = QFontMetrics(font).horizontalAdvance(text);
        }
        return width_;
    }

    int height(const QFont& font)
    {
        if (!(font == heightFont_) || height_ < 0) {
            heightFont_ = font;
            height_ = QFontMetrics(font).height();
        }
        return height_;
    }

private:
    QFont widthFont_;
    QString widthText_;
    int width_ = 0;
    QFont heightFont_;
    int height_ = -1;
};

} // namespace fk
