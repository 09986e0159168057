#pragma once

#include <QImage>

class QPainter;
class QRectF;

// Draws the scan-dialog illustration: a hand holding a phone whose screen
// shows a QR code, on a light-blue background. Everything is drawn in the
// phone's own coordinates (origin at its centre) and then tilted a little,
// so the pieces stay in place relative to each other.
class ScenePainter
{
public:
    QImage render() const;

private:
    void drawBackground(QPainter &painter) const;
    void drawPalm(QPainter &painter) const;
    void drawPhone(QPainter &painter) const;
    void drawScreen(QPainter &painter) const;
    void drawQrCode(QPainter &painter, const QRectF &area) const;
    void drawScanFrame(QPainter &painter, const QRectF &area) const;
    void drawFingers(QPainter &painter) const;
    void drawThumb(QPainter &painter) const;
    void drawFinger(QPainter &painter, const QRectF &shape, qreal nailWidth) const;
};
