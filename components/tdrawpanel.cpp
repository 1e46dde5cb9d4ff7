#include "components/tdrawpanel.h"

#include <QEvent>
#include <QPainter>

#include <array>
#include <cmath>

namespace components {
namespace {

struct SystemColor
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The desktop colour indexes of a system colour value, as the nearest palette entries.
constexpr std::array<SystemColor, 31> systemColors{{
    {QPalette::Active, QPalette::Button},           // 0 scroll bar
    {QPalette::Active, QPalette::Window},           // 1 desktop
    {QPalette::Active, QPalette::Highlight},        // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},      // 3 inactive caption
    {QPalette::Active, QPalette::Window},           // 4 menu
    {QPalette::Active, QPalette::Base},             // 5 window
    {QPalette::Active, QPalette::Shadow},           // 6 window frame
    {QPalette::Active, QPalette::WindowText},       // 7 menu text
    {QPalette::Active, QPalette::Text},             // 8 window text
    {QPalette::Active, QPalette::HighlightedText},  // 9 caption text
    {QPalette::Active, QPalette::Window},           // 10 active border
    {QPalette::Inactive, QPalette::Window},         // 11 inactive border
    {QPalette::Active, QPalette::Dark},             // 12 application workspace
    {QPalette::Active, QPalette::Highlight},        // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},  // 14 highlight text
    {QPalette::Active, QPalette::Button},           // 15 button face
    {QPalette::Active, QPalette::Dark},             // 16 button shadow
    {QPalette::Disabled, QPalette::Text},           // 17 grey text
    {QPalette::Active, QPalette::ButtonText},       // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText},// 19 inactive caption text
    {QPalette::Active, QPalette::Light},            // 20 button highlight
    {QPalette::Active, QPalette::Shadow},           // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},         // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},      // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},      // 24 info background
    {QPalette::Active, QPalette::Window},           // 25 (unused)
    {QPalette::Active, QPalette::Link},             // 26 hot light
    {QPalette::Active, QPalette::Highlight},        // 27 gradient active caption
    {QPalette::Inactive, QPalette::Highlight},      // 28 gradient inactive caption
    {QPalette::Active, QPalette::Highlight},        // 29 menu highlight
    {QPalette::Active, QPalette::Window},           // 30 menu bar
}};

constexpr TColor systemColorFlag = 0xFF000000;

int channelAt(int start, int end, int step, int length)
{
    if (length <= 1)
        return start;
    return static_cast<int>(std::lround(start + double(end - start) * step / (length - 1)));
}

Qt::Alignment horizontalFlag(TDrawPanel::TAlignment alignment)
{
    switch (alignment) {
    case TDrawPanel::taLeftJustify: return Qt::AlignLeading;
    case TDrawPanel::taRightJustify: return Qt::AlignTrailing;
    case TDrawPanel::taCenter: break;
    }
    return Qt::AlignHCenter;
}

Qt::Alignment verticalFlag(TDrawPanel::TVerticalAlignment alignment)
{
    switch (alignment) {
    case TDrawPanel::taAlignTop: return Qt::AlignTop;
    case TDrawPanel::taAlignBottom: return Qt::AlignBottom;
    case TDrawPanel::taVerticalCenter: break;
    }
    return Qt::AlignVCenter;
}

} // namespace

QColor resolveColor(TColor color, const QPalette &palette)
{
    if ((color & systemColorFlag) != systemColorFlag)
        return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
    const quint32 index = color & 0xFF;
    const SystemColor sys = index < systemColors.size() ? systemColors[index] : systemColors[1];
    return palette.color(sys.group, sys.role);
}

QColor gradientColorAt(const QColor &start, const QColor &end, int step, int length)
{
    return QColor(channelAt(start.red(), end.red(), step, length),
                  channelAt(start.green(), end.green(), step, length),
                  channelAt(start.blue(), end.blue(), step, length));
}

TDrawPanel::TDrawPanel(QWidget *parent)
    : QFrame(parent)
{
    updateFrameMargins();
}

void TDrawPanel::setBevelInner(TPanelBevel bevel)
{
    m_bevelInner = bevel;
    updateFrameMargins();
}

void TDrawPanel::setBevelOuter(TPanelBevel bevel)
{
    m_bevelOuter = bevel;
    updateFrameMargins();
}

void TDrawPanel::setBevelWidth(int width)
{
    m_bevelWidth = qMax(0, width);
    updateFrameMargins();
}

void TDrawPanel::setBorderWidth(int width)
{
    m_borderWidth = qMax(0, width);
    updateFrameMargins();
}

void TDrawPanel::setCaption(const QString &caption)
{
    m_caption = caption;
    update();
}

void TDrawPanel::setAlignment(TAlignment alignment)
{
    m_alignment = alignment;
    update();
}

void TDrawPanel::setVerticalAlignment(TVerticalAlignment alignment)
{
    m_verticalAlignment = alignment;
    update();
}

void TDrawPanel::setGradientColorStart(TColor color)
{
    m_colorStart = color;
    update();
}

void TDrawPanel::setGradientColorEnd(TColor color)
{
    m_colorEnd = color;
    update();
}

void TDrawPanel::setGradientDirection(TGradientDirection direction)
{
    m_gradientDirection = direction;
    update();
}

// Children sit inside the frame, as in the standard panel.
void TDrawPanel::updateFrameMargins()
{
    int inset = m_borderWidth;
    if (m_bevelOuter != bvNone)
        inset += m_bevelWidth;
    if (m_bevelInner != bvNone)
        inset += m_bevelWidth;
    setContentsMargins(inset, inset, inset, inset);
    update();
}

void TDrawPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    paintStandardPanel(painter);
    // Equal values, not equal colours: two system colours that happen to match still paint.
    if (m_colorStart == m_colorEnd)
        return;
    paintGradient(painter);
    drawCaption(painter, rect());
}

// System colours follow the desktop theme, so a palette change must repaint.
void TDrawPanel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        update();
    QFrame::changeEvent(event);
}

void TDrawPanel::paintStandardPanel(QPainter &painter)
{
    QRect r = rect();
    drawBevel(painter, r, m_bevelOuter);
    const QColor face = palette().color(QPalette::Window);
    for (int i = 0; i < m_borderWidth && r.isValid(); ++i) {
        painter.setPen(face);
        painter.drawRect(r.adjusted(0, 0, -1, -1));
        r.adjust(1, 1, -1, -1);
    }
    drawBevel(painter, r, m_bevelInner);
    painter.fillRect(r, face);
    drawCaption(painter, r);
}

// Bevel lines as the standard panel draws them: light above and left, shadow below and
// right (the other way round when lowered); the rectangle shrinks by the bevel width.
void TDrawPanel::drawBevel(QPainter &painter, QRect &r, TPanelBevel bevel)
{
    if (bevel == bvNone)
        return;
    QColor top = resolveColor(clBtnHighlight, palette());
    QColor bottom = resolveColor(clBtnShadow, palette());
    if (bevel == bvLowered)
        std::swap(top, bottom);
    if (bevel == bvSpace)
        top = bottom = palette().color(QPalette::Window);
    for (int i = 0; i < m_bevelWidth && r.isValid(); ++i) {
        painter.setPen(top);
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(bottom);
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        r.adjust(1, 1, -1, -1);
    }
}

void TDrawPanel::paintGradient(QPainter &painter)
{
    const int grow = m_bevelWidth + m_borderWidth;
    const QColor start = resolveColor(m_colorStart, palette());
    const QColor end = resolveColor(m_colorEnd, palette());
    const bool horizontal = m_gradientDirection == gdHorizontal;
    const int visible = horizontal ? width() : height();
    const int length = visible + 2 * grow;
    // Only the steps that fall inside the client area are drawn: the rest is clipped anyway.
    for (int pos = 0; pos < visible; ++pos) {
        const QColor c = gradientColorAt(start, end, pos + grow, length);
        if (horizontal)
            painter.fillRect(QRect(pos, 0, 1, height()), c);
        else
            painter.fillRect(QRect(0, pos, width(), 1), c);
    }
}

void TDrawPanel::drawCaption(QPainter &painter, const QRect &r)
{
    if (m_caption.isEmpty())
        return;
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setFont(font());
    painter.setLayoutDirection(layoutDirection());
    const int flags = int(horizontalFlag(m_alignment) | verticalFlag(m_verticalAlignment))
        | Qt::TextSingleLine | Qt::TextExpandTabs;
    painter.drawText(r, flags, m_caption);
}

} // namespace components
