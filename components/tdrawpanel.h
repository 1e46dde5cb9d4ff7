#pragma once
// The suite's panel: a standard raised panel (bevels, border, caption, children) with a
// two-colour linear gradient over it. The gradient rectangle is the client rectangle grown
// by bevel width + border width on every side, so it also covers the frame; drawing is
// clipped to the client area, which makes the first visible column one step past the
// start colour. Equal start and end colours leave the plain panel.
#include <QFrame>
#include <QPalette>

namespace components {

// The toolkit's 32-bit colour value: RGB with red in the lowest byte ($00BBGGRR), or a
// system colour (high byte $FF, low byte the desktop colour index) resolved when painting.
using TColor = quint32;

inline constexpr TColor clBlack = 0x00000000;
inline constexpr TColor clBtnFace = 0xFF00000F;
inline constexpr TColor clBtnShadow = 0xFF000010;
inline constexpr TColor clBtnHighlight = 0xFF000014;

// The RGB colour of a colour value; system colours from the palette given.
QColor resolveColor(TColor color, const QPalette &palette);

// Colour of column (or row) `step` of a gradient `length` pixels long, per channel linear
// from start (step 0) to end (step length - 1).
QColor gradientColorAt(const QColor &start, const QColor &end, int step, int length);

class TDrawPanel : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(TPanelBevel BevelInner READ bevelInner WRITE setBevelInner)
    Q_PROPERTY(TPanelBevel BevelOuter READ bevelOuter WRITE setBevelOuter)
    Q_PROPERTY(int BevelWidth READ bevelWidth WRITE setBevelWidth)
    Q_PROPERTY(int BorderWidth READ borderWidth WRITE setBorderWidth)
    Q_PROPERTY(QString Caption READ caption WRITE setCaption)
    Q_PROPERTY(TAlignment Alignment READ alignment WRITE setAlignment)
    Q_PROPERTY(TVerticalAlignment VerticalAlignment READ verticalAlignment WRITE setVerticalAlignment)
    Q_PROPERTY(quint32 GradientColorStart READ gradientColorStart WRITE setGradientColorStart)
    Q_PROPERTY(quint32 GradientColorEnd READ gradientColorEnd WRITE setGradientColorEnd)
    Q_PROPERTY(TGradientDirection GradientDirection READ gradientDirection WRITE setGradientDirection)

public:
    enum TPanelBevel { bvNone, bvLowered, bvRaised, bvSpace };
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    enum TVerticalAlignment { taAlignTop, taAlignBottom, taVerticalCenter };
    enum TGradientDirection { gdHorizontal, gdVertical };
    Q_ENUM(TPanelBevel)
    Q_ENUM(TAlignment)
    Q_ENUM(TVerticalAlignment)
    Q_ENUM(TGradientDirection)

    explicit TDrawPanel(QWidget *parent = nullptr);

    TPanelBevel bevelInner() const { return m_bevelInner; }
    TPanelBevel bevelOuter() const { return m_bevelOuter; }
    int bevelWidth() const { return m_bevelWidth; }
    int borderWidth() const { return m_borderWidth; }
    QString caption() const { return m_caption; }
    TAlignment alignment() const { return m_alignment; }
    TVerticalAlignment verticalAlignment() const { return m_verticalAlignment; }
    TColor gradientColorStart() const { return m_colorStart; }
    TColor gradientColorEnd() const { return m_colorEnd; }
    TGradientDirection gradientDirection() const { return m_gradientDirection; }

    void setBevelInner(TPanelBevel bevel);
    void setBevelOuter(TPanelBevel bevel);
    void setBevelWidth(int width);
    void setBorderWidth(int width);
    void setCaption(const QString &caption);
    void setAlignment(TAlignment alignment);
    void setVerticalAlignment(TVerticalAlignment alignment);
    // Each gradient setter repaints, also when the value is unchanged.
    void setGradientColorStart(TColor color);
    void setGradientColorEnd(TColor color);
    void setGradientDirection(TGradientDirection direction);

protected:
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void paintStandardPanel(QPainter &painter);
    void paintGradient(QPainter &painter);
    void drawBevel(QPainter &painter, QRect &rect, TPanelBevel bevel);
    void drawCaption(QPainter &painter, const QRect &rect);
    void updateFrameMargins();

    TPanelBevel m_bevelInner = bvNone;
    TPanelBevel m_bevelOuter = bvRaised;
    int m_bevelWidth = 1;
    int m_borderWidth = 0;
    QString m_caption;
    TAlignment m_alignment = taCenter;
    TVerticalAlignment m_verticalAlignment = taVerticalCenter;
    TColor m_colorStart = clBlack;
    TColor m_colorEnd = clBlack;
    TGradientDirection m_gradientDirection = gdHorizontal;
};

} // namespace components
