// The gradient panel, checked on the pixels of the rendered panel.
#include "components/tdrawpanel.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QVBoxLayout>

using components::TColor;
using components::TDrawPanel;

namespace {

constexpr TColor pink = 8421631;       // red 255, green 128, blue 128
constexpr TColor yellow = 8454143;     // red 255, green 255, blue 128
constexpr TColor green = 8454016;      // red 128, green 255, blue 128

QImage render(TDrawPanel &panel)
{
    return panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QColor pixel(const QImage &image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

void makeGradient(TDrawPanel &panel, TColor start, TColor end, int width = 100, int height = 40)
{
    panel.resize(width, height);
    panel.setGradientColorStart(start);
    panel.setGradientColorEnd(end);
}

} // namespace

TEST(TDrawPanelColor, RgbValuesHoldRedInTheLowestByte)
{
    const QPalette palette;
    EXPECT_EQ(components::resolveColor(pink, palette), QColor(255, 128, 128));
    EXPECT_EQ(components::resolveColor(yellow, palette), QColor(255, 255, 128));
    EXPECT_EQ(components::resolveColor(green, palette), QColor(128, 255, 128));
    EXPECT_EQ(components::resolveColor(0, palette), QColor(0, 0, 0));
}

TEST(TDrawPanelColor, SystemColoursComeFromThePalette)
{
    QPalette palette;
    palette.setColor(QPalette::Button, QColor(1, 2, 3));
    palette.setColor(QPalette::Light, QColor(4, 5, 6));
    EXPECT_EQ(components::resolveColor(components::clBtnFace, palette), QColor(1, 2, 3));
    EXPECT_EQ(components::resolveColor(components::clBtnHighlight, palette), QColor(4, 5, 6));
}

TEST(TDrawPanelColor, GradientRunsFromStartToEnd)
{
    const QColor a(0, 100, 200), b(255, 100, 0);
    EXPECT_EQ(components::gradientColorAt(a, b, 0, 11), a);
    EXPECT_EQ(components::gradientColorAt(a, b, 10, 11), b);
    EXPECT_EQ(components::gradientColorAt(a, b, 5, 11), QColor(128, 100, 100));
}

TEST(TDrawPanel, NewPanelPaintsAsTheStandardPanel)
{
    TDrawPanel panel;
    panel.resize(60, 30);
    EXPECT_EQ(panel.gradientColorStart(), 0u);
    EXPECT_EQ(panel.gradientColorEnd(), 0u);
    EXPECT_EQ(panel.gradientDirection(), TDrawPanel::gdHorizontal);
    const QImage image = render(panel);
    const QPalette &pal = panel.palette();
    EXPECT_EQ(pixel(image, 30, 15).rgb(), pal.color(QPalette::Window).rgb());
    // Raised bevel of width 1: light at the top left, shadow at the bottom right.
    EXPECT_EQ(pixel(image, 0, 0).rgb(), pal.color(QPalette::Light).rgb());
    EXPECT_EQ(pixel(image, 59, 29).rgb(), pal.color(QPalette::Dark).rgb());
}

TEST(TDrawPanel, EqualColoursLeaveTheStandardPanel)
{
    TDrawPanel plain;
    plain.resize(60, 30);
    TDrawPanel same;
    makeGradient(same, green, green, 60, 30);
    EXPECT_EQ(render(same), render(plain));
}

TEST(TDrawPanel, FirstVisibleColumnIsOneStepPastTheStartColour)
{
    TDrawPanel panel;
    makeGradient(panel, pink, yellow);
    const QImage image = render(panel);
    const QColor start(255, 128, 128), end(255, 255, 128);
    // Bevel 1 + border 0: the gradient is 102 columns wide and starts one column to the left.
    EXPECT_EQ(pixel(image, 0, 20), components::gradientColorAt(start, end, 1, 102));
    EXPECT_NE(pixel(image, 0, 20), start);
    EXPECT_EQ(pixel(image, 99, 20), components::gradientColorAt(start, end, 100, 102));
    // The gradient covers the bevel: the corner pixels carry the column's colour.
    EXPECT_EQ(pixel(image, 0, 0), pixel(image, 0, 20));
    EXPECT_EQ(pixel(image, 99, 39), pixel(image, 99, 20));
}

TEST(TDrawPanel, GradientGrowsByBevelAndBorderWidth)
{
    struct Row { int bevel; int border; };
    for (const Row row : {Row{0, 0}, Row{1, 0}, Row{3, 2}, Row{2, 5}}) {
        TDrawPanel panel;
        panel.setBevelWidth(row.bevel);
        panel.setBorderWidth(row.border);
        makeGradient(panel, 0x000000FF, 0x00FF0000);   // red to blue
        const QImage image = render(panel);
        const int grow = row.bevel + row.border;
        const int length = 100 + 2 * grow;
        for (int x : {0, 50, 99}) {
            EXPECT_EQ(pixel(image, x, 20),
                      components::gradientColorAt(Qt::red, Qt::blue, x + grow, length))
                << "bevel " << row.bevel << " border " << row.border << " column " << x;
        }
    }
}

TEST(TDrawPanel, VerticalGradientHasOneColourPerRow)
{
    TDrawPanel panel;
    panel.setGradientDirection(TDrawPanel::gdVertical);
    makeGradient(panel, pink, green, 40, 100);
    const QImage image = render(panel);
    const QColor start(255, 128, 128), end(128, 255, 128);
    for (int y : {0, 37, 99}) {
        EXPECT_EQ(pixel(image, 0, y), components::gradientColorAt(start, end, y + 1, 102));
        EXPECT_EQ(pixel(image, 39, y), pixel(image, 0, y));
    }
}

TEST(TDrawPanel, ChangingTheDirectionOfAShownPanelRepaints)
{
    TDrawPanel panel;
    makeGradient(panel, pink, green, 80, 80);
    panel.show();
    const QImage horizontal = render(panel);
    panel.setGradientDirection(TDrawPanel::gdVertical);
    const QImage vertical = render(panel);
    EXPECT_NE(horizontal, vertical);
    EXPECT_EQ(pixel(vertical, 0, 5), pixel(vertical, 79, 5));
    EXPECT_NE(pixel(vertical, 5, 0), pixel(vertical, 5, 79));
}

TEST(TDrawPanel, SystemStartColourFollowsThePaletteAtEachPaint)
{
    TDrawPanel panel;
    makeGradient(panel, components::clBtnFace, 0x00000000);
    QPalette pal = panel.palette();
    pal.setColor(QPalette::Button, QColor(200, 0, 0));
    panel.setPalette(pal);
    EXPECT_EQ(pixel(render(panel), 0, 20), components::gradientColorAt(QColor(200, 0, 0), Qt::black, 1, 102));
    pal.setColor(QPalette::Button, QColor(0, 200, 0));
    panel.setPalette(pal);
    EXPECT_EQ(pixel(render(panel), 0, 20), components::gradientColorAt(QColor(0, 200, 0), Qt::black, 1, 102));
}

TEST(TDrawPanel, CaptionIsDrawnOverTheGradientWithoutABox)
{
    TDrawPanel panel;
    makeGradient(panel, pink, yellow, 200, 60);
    QPalette pal = panel.palette();
    pal.setColor(QPalette::WindowText, QColor(0, 0, 255));
    panel.setPalette(pal);
    panel.setCaption("W W");
    const QImage image = render(panel);
    // The caption's pixels are those that differ from their column's gradient colour.
    QRect textBox;
    int textPixels = 0;
    for (int x = 0; x < 200; ++x) {
        for (int y = 0; y < 60; ++y) {
            if (pixel(image, x, y) != pixel(image, x, 0)) {
                textBox |= QRect(x, y, 1, 1);
                ++textPixels;
            }
        }
    }
    ASSERT_GT(textPixels, 0);
    EXPECT_TRUE(textBox.contains(100, 30));
    // A background box would fill the caption's whole box; glyphs leave gaps between them.
    EXPECT_LT(textPixels, textBox.width() * textBox.height() * 3 / 4);
}

TEST(TDrawPanel, ChildrenSitInsideTheFrame)
{
    TDrawPanel panel;
    panel.setBevelWidth(2);
    panel.setBorderWidth(3);
    panel.setBevelInner(TDrawPanel::bvLowered);
    auto *layout = new QVBoxLayout(&panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *child = new QLabel("child", &panel);
    layout->addWidget(child);
    panel.resize(100, 50);
    panel.show();
    EXPECT_EQ(child->geometry(), QRect(7, 7, 86, 36));
}
