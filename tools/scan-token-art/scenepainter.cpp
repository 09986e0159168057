#include "scenepainter.h"

#include "artconstants.h"
#include "qrpattern.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

// Phone body in its own coordinates; the screen sits inside the bezel.
const QRectF PhoneBody(-76, -148, 152, 296);
const QRectF PhoneScreen(-66, -128, 132, 256);
const QPointF PhoneCentre(232, 182);
constexpr qreal PhoneTilt = -8.0;
constexpr qreal QrModuleSize = 4.0;

QBrush skinBrush(const QPointF &from, const QPointF &to)
{
    QLinearGradient gradient(from, to);
    gradient.setColorAt(0.0, art::skinLight());
    gradient.setColorAt(1.0, art::skinDark());
    return gradient;
}

QPen skinPen()
{
    return QPen(art::skinOutline(), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

QImage ScenePainter::render() const
{
    QImage image(art::ImageSize, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    drawBackground(painter);
    painter.translate(PhoneCentre);
    painter.rotate(PhoneTilt);
    drawPalm(painter);
    drawPhone(painter);
    drawFingers(painter);
    drawThumb(painter);
    return image;
}

void ScenePainter::drawBackground(QPainter &painter) const
{
    QLinearGradient gradient(0, 0, 0, art::ImageSize.height());
    gradient.setColorAt(0.0, art::backgroundTop());
    gradient.setColorAt(1.0, art::backgroundBottom());
    painter.fillRect(QRect(QPoint(0, 0), art::ImageSize), gradient);

    painter.setPen(Qt::NoPen);
    painter.setBrush(art::backgroundBubble());
    painter.drawEllipse(QPointF(70, 80), 46, 46);
    painter.drawEllipse(QPointF(395, 70), 30, 30);
    painter.drawEllipse(QPointF(385, 270), 52, 52);
    painter.drawEllipse(QPointF(60, 290), 22, 22);
}

// The palm lies behind the phone; only its edges and the wrist show.
void ScenePainter::drawPalm(QPainter &painter) const
{
    QPainterPath palm;
    palm.moveTo(-64, 280);
    palm.cubicTo(-80, 220, -100, 170, -96, 60);
    palm.lineTo(60, 40);
    palm.cubicTo(104, 70, 122, 130, 108, 190);
    palm.cubicTo(98, 230, 86, 255, 80, 280);
    palm.closeSubpath();
    painter.setPen(skinPen());
    painter.setBrush(skinBrush(QPointF(-100, 100), QPointF(110, 260)));
    painter.drawPath(palm);
}

void ScenePainter::drawPhone(QPainter &painter) const
{
    painter.setPen(Qt::NoPen);
    for (int step = 0; step < 4; ++step) {
        QColor shade = art::shadow();
        shade.setAlpha(shade.alpha() / (step + 1));
        const qreal grow = 2.0 * step;
        painter.setBrush(shade);
        painter.drawRoundedRect(PhoneBody.translated(9, 10).adjusted(-grow, -grow, grow, grow),
                                24 + grow, 24 + grow);
    }
    painter.setPen(QPen(art::phoneEdge(), 2.5));
    painter.setBrush(art::phoneBody());
    painter.drawRoundedRect(PhoneBody, 22, 22);

    painter.setPen(Qt::NoPen);
    painter.setBrush(art::phoneEdge());
    painter.drawRoundedRect(QRectF(-18, -140, 36, 5), 2.5, 2.5);
    painter.drawEllipse(QPointF(28, -137.5), 3, 3);
    drawScreen(painter);
}

void ScenePainter::drawScreen(QPainter &painter) const
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(art::screen());
    painter.drawRoundedRect(PhoneScreen, 12, 12);

    QPainterPath bar;
    bar.addRoundedRect(PhoneScreen, 12, 12);
    painter.save();
    painter.setClipPath(bar);
    painter.fillRect(QRectF(PhoneScreen.left(), PhoneScreen.top(), PhoneScreen.width(), 26),
                     art::screenBar());
    painter.restore();

    const qreal side = art::QrModules * QrModuleSize;
    const QRectF qrArea(-side / 2, -82, side, side);
    drawScanFrame(painter, qrArea.adjusted(-10, -10, 10, 10));
    drawQrCode(painter, qrArea);

    // Two grey strokes stand in for the caption under the code.
    painter.setBrush(QColor(0xc9, 0xd3, 0xde));
    painter.drawRoundedRect(QRectF(-44, 44, 88, 7), 3.5, 3.5);
    painter.drawRoundedRect(QRectF(-30, 58, 60, 7), 3.5, 3.5);
    painter.setBrush(QColor(0x9a, 0xa6, 0xb4));
    painter.drawRoundedRect(QRectF(-24, 118, 48, 4), 2, 2);

    QPainterPath glare;
    glare.moveTo(PhoneScreen.topLeft() + QPointF(0, 40));
    glare.lineTo(PhoneScreen.topLeft() + QPointF(70, 0));
    glare.lineTo(PhoneScreen.topLeft() + QPointF(110, 0));
    glare.lineTo(PhoneScreen.topLeft() + QPointF(0, 70));
    glare.closeSubpath();
    painter.setBrush(QColor(255, 255, 255, 40));
    painter.drawPath(glare.intersected(bar));
}

void ScenePainter::drawQrCode(QPainter &painter, const QRectF &area) const
{
    const QrPattern pattern(art::QrModules, art::QrSeed);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawRect(area.adjusted(-4, -4, 4, 4));
    painter.setBrush(art::qrDark());
    // Unioned into one path so neighbouring modules join without seams.
    QPainterPath modules;
    for (int row = 0; row < pattern.modules(); ++row) {
        for (int column = 0; column < pattern.modules(); ++column) {
            if (pattern.isDark(column, row))
                modules.addRect(area.left() + column * QrModuleSize, area.top() + row * QrModuleSize,
                                QrModuleSize, QrModuleSize);
        }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.drawPath(modules);
    painter.setRenderHint(QPainter::Antialiasing, true);
}

// Corner brackets of a viewfinder around the code.
void ScenePainter::drawScanFrame(QPainter &painter, const QRectF &area) const
{
    constexpr qreal arm = 16;
    painter.setPen(QPen(art::scanFrame(), 3.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    const QPointF corners[] = {area.topLeft(), area.topRight(), area.bottomRight(), area.bottomLeft()};
    const QPointF towardsX[] = {{arm, 0}, {-arm, 0}, {-arm, 0}, {arm, 0}};
    const QPointF towardsY[] = {{0, arm}, {0, arm}, {0, -arm}, {0, -arm}};
    for (int corner = 0; corner < 4; ++corner) {
        const QPointF points[] = {corners[corner] + towardsX[corner], corners[corner],
                                  corners[corner] + towardsY[corner]};
        painter.drawPolyline(points, 3);
    }
}

// Curled fingers wrap the phone's left edge; their tips rest on the bezel.
void ScenePainter::drawFingers(QPainter &painter) const
{
    drawFinger(painter, QRectF(-104, 26, 50, 31), 11);
    drawFinger(painter, QRectF(-106, 58, 52, 31), 11);
    drawFinger(painter, QRectF(-104, 90, 48, 29), 10);
    drawFinger(painter, QRectF(-100, 120, 42, 26), 9);
}

void ScenePainter::drawFinger(QPainter &painter, const QRectF &shape, qreal nailWidth) const
{
    const qreal radius = shape.height() / 2;
    painter.setPen(skinPen());
    painter.setBrush(skinBrush(shape.topLeft(), shape.bottomLeft()));
    painter.drawRoundedRect(shape, radius, radius);

    painter.setPen(Qt::NoPen);
    painter.setBrush(art::nail());
    const QRectF nail(shape.right() - nailWidth - 5, shape.center().y() - nailWidth * 0.4,
                      nailWidth, nailWidth * 0.8);
    painter.drawRoundedRect(nail, nailWidth * 0.4, nailWidth * 0.4);
}

// The thumb rises from the palm's right side over the lower screen corner.
void ScenePainter::drawThumb(QPainter &painter) const
{
    const QPointF base(112, 196);
    const QPointF tip(56, 96);
    const QPointF along = tip - base;
    const qreal length = std::hypot(along.x(), along.y());

    painter.save();
    painter.translate((base + tip) / 2);
    painter.rotate(std::atan2(along.y(), along.x()) * 180.0 / M_PI);
    const QRectF shape(-length / 2 - 14, -19, length + 28, 38);
    painter.setPen(skinPen());
    painter.setBrush(skinBrush(QPointF(0, -19), QPointF(0, 19)));
    painter.drawRoundedRect(shape, 19, 19);
    painter.setPen(Qt::NoPen);
    painter.setBrush(art::nail());
    painter.drawRoundedRect(QRectF(shape.right() - 30, -10, 22, 20), 9, 9);
    painter.restore();
}
