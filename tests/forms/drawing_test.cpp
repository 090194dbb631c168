// The drawing rules of a picture box, pixel for pixel, on its persistent image.
#include "support/test_support.h"

#include "forms/form.h"
#include "forms/picturebox.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class Canvas : public fk::Form {
public:
    Canvas() : Form({.clientWidth = 1500, .clientHeight = 1500}) {}
    fk::PictureBox pct{*this, {.rect = {0, 0, 600, 450}, .backColor = 0xFFFFFF, .scaleMode = fk::ScaleMode::Pixels}};
};

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kRed = 0xFF0000;     // as an RGB pixel
constexpr fk::Color kRedColor = 0x0000FF; // as 0xBBGGRR

TEST(Drawing, SegmentPaintsItsFirstPointAndNotItsLast)
{
    Canvas canvas;
    auto& pct = canvas.pct;
    ASSERT_EQ(pct.image().size(), QSize(40, 30));
    pct.line(2, 5, 10, 5, kRedColor);
    EXPECT_EQ(pixel(pct.image(), 2, 5), kRed);
    EXPECT_EQ(pixel(pct.image(), 9, 5), kRed);
    EXPECT_EQ(pixel(pct.image(), 10, 5), kWhite);
    EXPECT_EQ(pixel(pct.image(), 1, 5), kWhite);

    // Drawn backwards, the same rule: the start is painted, the end is not.
    pct.line(10, 8, 2, 8, kRedColor);
    EXPECT_EQ(pixel(pct.image(), 10, 8), kRed);
    EXPECT_EQ(pixel(pct.image(), 3, 8), kRed);
    EXPECT_EQ(pixel(pct.image(), 2, 8), kWhite);

    // A vertical segment to the bottom edge paints every row above it.
    pct.line(20, 0, 20, pct.scaleHeight(), kRedColor);
    for (int y = 0; y < 30; ++y)
        EXPECT_EQ(pixel(pct.image(), 20, y), kRed) << "row " << y;
}

TEST(Drawing, BoxesIncludeBothCorners)
{
    Canvas canvas;
    auto& pct = canvas.pct;
    pct.box(3, 4, 8, 9, kRedColor);
    EXPECT_EQ(pixel(pct.image(), 3, 4), kRed);
    EXPECT_EQ(pixel(pct.image(), 8, 9), kRed);
    EXPECT_EQ(pixel(pct.image(), 8, 4), kRed);
    EXPECT_EQ(pixel(pct.image(), 3, 9), kRed);
    EXPECT_EQ(pixel(pct.image(), 5, 6), kWhite) << "an outline leaves the inside alone";
    EXPECT_EQ(pixel(pct.image(), 9, 9), kWhite);
    EXPECT_EQ(pixel(pct.image(), 3, 10), kWhite);

    pct.filledBox(12, 12, 14, 13, kRedColor);
    for (int y = 12; y <= 13; ++y)
        for (int x = 12; x <= 14; ++x)
            EXPECT_EQ(pixel(pct.image(), x, y), kRed) << x << "," << y;
    EXPECT_EQ(pixel(pct.image(), 15, 13), kWhite);
    EXPECT_EQ(pixel(pct.image(), 14, 14), kWhite);
}

TEST(Drawing, TextGoesWithItsTopLeftAtTheCurrentPositionAndPaintsGlyphsOnly)
{
    Canvas canvas;
    auto& pct = canvas.pct;
    pct.setForeColor(kRedColor);
    pct.setCurrentX(5);
    pct.setCurrentY(7);
    pct.print(QStringLiteral("H"));
    const QImage& image = pct.image();
    int top = 1000, left = 1000;
    int painted = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (pixel(image, x, y) != kWhite) {
                EXPECT_EQ(pixel(image, x, y), kRed) << "glyphs only, in the current colour";
                top = std::min(top, y);
                left = std::min(left, x);
                ++painted;
            }
    ASSERT_GT(painted, 0);
    // The glyph's ink starts at or just right of and below the position: never above or
    // left of it, and the cell begins exactly there (ascent measured from CurrentY).
    EXPECT_GE(left, 5);
    EXPECT_LE(left, 7);
    const QFontMetrics metrics(fk::toQFont(pct.font()));
    EXPECT_EQ(top, 7 + metrics.ascent() - metrics.tightBoundingRect(QStringLiteral("H")).height());
    // Print moves the position to the start of the next line.
    EXPECT_FLOAT_EQ(pct.currentX(), 0);
    EXPECT_FLOAT_EQ(pct.currentY(), 7 + pct.textHeight(QStringLiteral("H")));
}

TEST(Drawing, ClsAndANewBackgroundClearEverything)
{
    Canvas canvas;
    auto& pct = canvas.pct;
    pct.filledBox(0, 0, 39, 29, kRedColor);
    pct.cls();
    EXPECT_EQ(pixel(pct.image(), 20, 20), kWhite);
    pct.filledBox(0, 0, 39, 29, kRedColor);
    pct.setBackColor(0x00FF00);
    EXPECT_EQ(pixel(pct.image(), 20, 20), 0x00FF00u);
}

TEST(Drawing, TwipsScaleDividesByFifteen)
{
    Canvas canvas;
    auto& pct = canvas.pct;
    pct.setScaleMode(fk::ScaleMode::Twips);
    EXPECT_FLOAT_EQ(pct.scaleWidth(), 600);
    pct.line(150, 0, 150, 150, kRedColor); // pixel column 10, rows 0 to 9
    EXPECT_EQ(pixel(pct.image(), 10, 0), kRed);
    EXPECT_EQ(pixel(pct.image(), 10, 9), kRed);
    EXPECT_EQ(pixel(pct.image(), 10, 10), kWhite);
}

TEST(Drawing, DrawingSurvivesAResize)
{
    Canvas canvas;
    auto& pct = canvas.pct;
    pct.filledBox(0, 0, 3, 3, kRedColor);
    pct.move(0, 0, 900, 600); // twips: the form measures in twips
    ASSERT_EQ(pct.image().size(), QSize(60, 40));
    EXPECT_EQ(pixel(pct.image(), 3, 3), kRed);
    EXPECT_EQ(pixel(pct.image(), 50, 35), kWhite);
}

} // namespace

namespace {

// Printing keeps each text's pixels and stamps them again; what it paints must be exactly
// what drawing the text directly paints, wherever it goes and whatever the font.
TEST(Drawing, PrintedTextIsPixelForPixelTheDirectlyDrawnText)
{
    const fk::FontSpec fonts[] = {fk::defaultFont(),
                                  {QStringLiteral("Arial"), 14.25, true, false},
                                  {QStringLiteral("Arial"), 8.25, false, true},
                                  {QStringLiteral("Arial"), 10, true, false}};
    const QString texts[] = {QStringLiteral("Corvane 1.0 *ALPHA* 3"), QStringLiteral("jgy_|X"),
                             QStringLiteral("Video Stability (Artifact Test)"), QStringLiteral("W")};
    const QPoint positions[] = {{0, 0}, {7, 3}, {-3, -2}, {150, 20}};
    for (const auto& wanted : fonts)
        for (const auto& text : texts)
            for (const QPoint at : positions) {
                Canvas canvas;
                auto& pct = canvas.pct;
                pct.move(0, 0, 3000, 600);
                pct.setFont(wanted);
                pct.setForeColor(kRedColor);
                pct.setCurrentX(at.x());
                pct.setCurrentY(at.y());
                pct.print(text);
                pct.setCurrentX(at.x());
                pct.setCurrentY(at.y());
                pct.print(text); // the second print comes from the kept pixels

                QImage direct(pct.image().size(), QImage::Format_RGB32);
                direct.fill(Qt::white);
                QPainter painter(&direct);
                const QFont font = fk::toQFont(wanted);
                painter.setFont(font);
                painter.setPen(QColor(255, 0, 0));
                painter.drawText(QPoint(at.x(), at.y() + QFontMetrics(font).ascent()), text);
                painter.end();
                ASSERT_EQ(pct.image().convertToFormat(QImage::Format_RGB32), direct)
                    << text.toStdString() << " in " << wanted.name.toStdString() << " " << wanted.size << " at "
                    << at.x() << "," << at.y();
            }
}

} // namespace
