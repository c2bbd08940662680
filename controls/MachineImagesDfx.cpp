#include "MachineImagesDfx.h"

#include <QApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPointer>
#include <QRadialGradient>

#include <array>

namespace {

// A monitor whose outer frame spans `frame`: bezel, screen, neck and foot.
void DrawMonitor(QPainter& p, const QRectF& frame, const QBrush& screen) {
    QLinearGradient bezel(frame.topLeft(), frame.bottomRight());
    bezel.setColorAt(0, QColor(236, 233, 216));
    bezel.setColorAt(1, QColor(172, 168, 153));
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(bezel);
    p.drawRect(frame);
    QRectF glass = frame.adjusted(2, 2, -2, -2);
    p.setPen(QPen(QColor(96, 96, 96), 0.8));
    p.setBrush(screen);
    p.drawRect(glass);
    qreal cx = frame.center().x();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(QRectF(cx - 1, frame.bottom(), 2, 1.5));
    p.setPen(QPen(QColor(64, 64, 64), 1));
    p.setBrush(QColor(200, 197, 182));
    p.drawRect(QRectF(cx - frame.width() * 0.3, frame.bottom() + 1.5, frame.width() * 0.6, 1.5));
}

void DrawGlobe(QPainter& p) {
    QRectF ball(1.5, 1.5, 13, 13);
    QRadialGradient sea(QPointF(5.5, 5), 10);
    sea.setColorAt(0, QColor(150, 205, 255));
    sea.setColorAt(1, QColor(24, 86, 178));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(ball);
    // Two continents, clipped to the ball.
    QPainterPath clip;
    clip.addEllipse(ball);
    p.save();
    p.setClipPath(clip);
    p.setBrush(QColor(58, 160, 62));
    QPainterPath land;
    land.moveTo(3, 5);
    land.cubicTo(5, 2, 8, 3, 8, 5);
    land.cubicTo(8, 7, 6, 8, 6.5, 10.5);
    land.cubicTo(5, 11, 3, 9, 3, 5);
    land.moveTo(9.5, 8);
    land.cubicTo(11, 7, 14, 8, 14, 10);
    land.cubicTo(13, 13, 10.5, 13.5, 9.5, 11.5);
    land.closeSubpath();
    p.drawPath(land);
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, 110), 0.7));
    p.drawEllipse(QRectF(5, 1.5, 6, 13));
    p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    p.setPen(QPen(QColor(16, 52, 120), 1));
    p.drawEllipse(ball);
}

void DrawCheckMark(QPainter& p) {
    QPainterPath tick;
    tick.moveTo(5, 7.5);
    tick.lineTo(8, 11);
    tick.lineTo(14.5, 2.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255), 3.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
    p.setPen(QPen(QColor(214, 24, 24), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(tick);
}

class TImageHolder final : public QObject {
public:
    using QObject::QObject;
    std::array<QIcon, kDfxMachineImageCount> Icons;
};

} // namespace

QImage DfxDrawMachineImage(int index) {
    if (index < 0 || index >= kDfxMachineImageCount) {
        return {};
    }
    QImage image(kDfxMachineImageSize, kDfxMachineImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QColor blank(246, 250, 255);
    switch (index) {
    case 0:
        DrawGlobe(p);
        break;
    case 1: {
        QLinearGradient desk(0, 0, 0, 8);
        desk.setColorAt(0, QColor(70, 130, 220));
        desk.setColorAt(1, QColor(20, 60, 150));
        DrawMonitor(p, QRectF(0.5, 0.5, 9, 7), desk);
        desk.setStart(0, 6);
        desk.setFinalStop(0, 13);
        DrawMonitor(p, QRectF(6.5, 5.5, 9, 7), desk);
        break;
    }
    case 2:
        DrawMonitor(p, QRectF(1.5, 1.5, 13, 10), blank);
        break;
    default:
        DrawMonitor(p, QRectF(1.5, 1.5, 13, 10), blank);
        DrawCheckMark(p);
        break;
    }
    return image;
}

QIcon DfxMachineImage(int index) {
    if (index < 0 || index >= kDfxMachineImageCount || qApp == nullptr) {
        return {};
    }
    // Owned by the application, so that the pixmaps go with it.
    static QPointer<TImageHolder> holder;
    if (holder == nullptr) {
        holder = new TImageHolder(qApp);
        for (int i = 0; i < kDfxMachineImageCount; ++i) {
            holder->Icons[static_cast<std::size_t>(i)] =
                QIcon(QPixmap::fromImage(DfxDrawMachineImage(i)));
        }
    }
    return holder->Icons[static_cast<std::size_t>(index)];
}
