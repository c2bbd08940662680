#include "CustomStatusPanelDfx.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <qdrawutil.h>

namespace {
constexpr int kBlinkMs = 500;
const QString kRedOpen = QStringLiteral("<RED>");
const QString kRedClose = QStringLiteral("</RED>");
} // namespace

TMarkedCaption DfxSplitMarkedCaption(const QString& caption) {
    TMarkedCaption parts;
    const qsizetype open = caption.indexOf(kRedOpen);
    if (open < 0) {
        parts.Before = caption;
        return parts;
    }
    parts.Marked = true;
    parts.Before = caption.left(open);
    const qsizetype start = open + kRedOpen.size();
    const qsizetype close = caption.indexOf(kRedClose, start);
    // Without a closing marker, the rest of the caption is the red part.
    parts.Red = close < 0 ? caption.mid(start) : caption.mid(start, close - start);
    const qsizetype firstClose = caption.indexOf(kRedClose);
    if (firstClose >= 0) {
        parts.After = caption.mid(firstClose + kRedClose.size(), 255);
    }
    return parts;
}

TDfxStatusPane::TDfxStatusPane(QWidget* parent)
    : QWidget(parent), FFontColor(palette().color(QPalette::WindowText)),
      FFillColor(palette().color(QPalette::Window)), FBlinkColor(Qt::red),
      FBlinkTimer(new QTimer(this)) {
    FBlinkTimer->setInterval(kBlinkMs);
    connect(FBlinkTimer, &QTimer::timeout, this, [this] {
        FBlinkOn = !FBlinkOn;
        update();
    });
}

TDfxStatusPane::~TDfxStatusPane() = default;

void TDfxStatusPane::SetCaption(const QString& caption) {
    if (caption != FCaption) {
        FCaption = caption;
        update();
    }
}

void TDfxStatusPane::SetFontColor(const QColor& color) {
    FFontColor = color;
    update();
}

void TDfxStatusPane::SetFillColor(const QColor& color) {
    FFillColor = color;
    update();
}

void TDfxStatusPane::SetCaptionOffset(int offset) {
    FCaptionOffset = offset;
    update();
}

void TDfxStatusPane::SetAlignment(TPaneAlignment alignment) {
    FAlignment = alignment;
    update();
}

void TDfxStatusPane::SetFrameStyle(TPaneFrameStyle style) {
    FFrameStyle = style;
    update();
}

void TDfxStatusPane::SetBlinking(bool blinking) {
    FBlinking = blinking;
    FBlinkOn = false;
    if (blinking) {
        FBlinkTimer->start();
    } else {
        FBlinkTimer->stop();
    }
    update();
}

void TDfxStatusPane::SetBlinkColor(const QColor& color) {
    FBlinkColor = color;
    update();
}

QColor TDfxStatusPane::TextColor() const {
    return FBlinking && FBlinkOn ? FBlinkColor : FFontColor;
}

QSize TDfxStatusPane::sizeHint() const {
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(FCaption) + 2 * FCaptionOffset + 12, fm.height() + 6};
}

QRect TDfxStatusPane::CaptionRect() const {
    const int border = FFrameStyle == TPaneFrameStyle::None ? 0 : 2;
    return rect().adjusted(border, border, -border, -border);
}

void TDfxStatusPane::DrawFrame(QPainter& painter) {
    const QPalette& pal = palette();
    switch (FFrameStyle) {
    case TPaneFrameStyle::None:
        break;
    case TPaneFrameStyle::Raised:
        qDrawShadePanel(&painter, rect(), pal, false, 1);
        break;
    case TPaneFrameStyle::Lowered:
        qDrawShadePanel(&painter, rect(), pal, true, 1);
        break;
    case TPaneFrameStyle::ButtonUp:
        qDrawWinButton(&painter, rect(), pal, false);
        break;
    case TPaneFrameStyle::ButtonDown:
        qDrawWinButton(&painter, rect(), pal, true);
        break;
    }
}

void TDfxStatusPane::DrawCaption(QPainter& painter) {
    const QRect r = CaptionRect().adjusted(FCaptionOffset, 0, -FCaptionOffset, 0);
    const Qt::Alignment align = FAlignment == TPaneAlignment::Left    ? Qt::AlignLeft
                                : FAlignment == TPaneAlignment::Right ? Qt::AlignRight
                                                                      : Qt::AlignHCenter;
    painter.setClipRect(CaptionRect());
    if (!isEnabled()) { // engraved
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(r.translated(1, 1), align | Qt::AlignVCenter, FCaption);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
    } else {
        painter.setPen(TextColor());
    }
    painter.drawText(r, align | Qt::AlignVCenter, FCaption);
}

void TDfxStatusPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), FFillColor);
    DrawFrame(painter);
    painter.setFont(font());
    DrawCaption(painter);
}

void TDfxStatusPane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Click();
    }
}

void TDfxStatusPane::enterEvent(QEnterEvent*) {
    MouseEntered();
}

void TDfxStatusPane::leaveEvent(QEvent*) {
    MouseLeft();
}

void TDfxStatusPane::Click() {
    if (OnClick) {
        OnClick(this);
    }
}

void TDfxStatusPane::MouseEntered() {
    if (OnMouseEnter) {
        OnMouseEnter(this);
    }
}

void TDfxStatusPane::MouseLeft() {
    if (OnMouseLeave) {
        OnMouseLeave(this);
    }
}

void TCustomDrawStatusPane::DrawCaption(QPainter& painter) {
    const QRect r = CaptionRect();
    const QFontMetrics fm(font());
    int x = r.left() + CaptionOffset() + 1;
    const int y = r.top() + (r.height() - fm.boundingRect(QStringLiteral("Pp")).height()) / 2;
    const int baseline = y + fm.ascent();
    painter.setClipRect(r);
    painter.setBackground(FillColor());
    const TMarkedCaption parts = DfxSplitMarkedCaption(Caption());
    if (!isEnabled()) {
        // Engraved, and without the markers.
        const QString text = parts.Before + parts.Red + parts.After;
        painter.setPen(palette().color(QPalette::Light));
        painter.drawText(x + 1, baseline + 1, text);
        painter.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        painter.drawText(x, baseline, text);
        return;
    }
    painter.setPen(TextColor());
    painter.drawText(x, baseline, parts.Before);
    if (!parts.Marked) {
        return;
    }
    x += fm.horizontalAdvance(parts.Before);
    painter.setPen(QColor(255, 0, 0));
    painter.drawText(x, baseline, parts.Red);
    x += fm.horizontalAdvance(parts.Red);
    painter.setPen(TextColor());
    painter.drawText(x, baseline, parts.After);
}

TBaseThreadCancelStatusPane::TBaseThreadCancelStatusPane(QWidget* parent) : TDfxStatusPane(parent) {
    SetAlignment(TPaneAlignment::Right);
}

void TBaseThreadCancelStatusPane::SetShowButton(bool show) {
    if (show == FShowButton) {
        return;
    }
    if (show) {
        FSavedCaption = Caption();
        TDfxStatusPane::SetCaption(QStringLiteral("Cancel"));
        FSavedCursor = Qt::ArrowCursor;
        FSavedFrameStyle = FrameStyle();
        SetFrameStyle(TPaneFrameStyle::ButtonUp);
        FSavedAlignment = Alignment();
        SetAlignment(TPaneAlignment::Center);
        SetBlinkColor(Qt::red);
        SetBlinking(true);
        FShowButton = true;
    } else {
        FShowButton = false;
        SetFrameStyle(FSavedFrameStyle);
        SetAlignment(FSavedAlignment);
        SetBlinking(false);
        TDfxStatusPane::SetCaption(FSavedCaption);
        setEnabled(true);
    }
}

void TBaseThreadCancelStatusPane::SetCaption(const QString& caption) {
    if (FShowButton) {
        FSavedCaption = caption;
    } else {
        TDfxStatusPane::SetCaption(caption);
    }
}

void TBaseThreadCancelStatusPane::MouseEntered() {
    // While the window shows a busy cursor, the pointer is an arrow over the button.
    if (FShowButton && QGuiApplication::overrideCursor() != nullptr) {
        FSavedCursor = QGuiApplication::overrideCursor()->shape();
        QGuiApplication::changeOverrideCursor(Qt::ArrowCursor);
    }
    TDfxStatusPane::MouseEntered();
}

void TBaseThreadCancelStatusPane::MouseLeft() {
    if (FShowButton && QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::changeOverrideCursor(FSavedCursor);
    }
    TDfxStatusPane::MouseLeft();
}

void TBaseThreadCancelStatusPane::hideEvent(QHideEvent* event) {
    TDfxStatusPane::hideEvent(event);
    SetFrameStyle(TPaneFrameStyle::ButtonUp);
    setEnabled(true);
}

void TThreadCancelStatusPane::Click() {
    if (!ShowButton()) {
        TDfxStatusPane::Click();
        return;
    }
    SetFrameStyle(TPaneFrameStyle::ButtonDown);
    repaint();
    setEnabled(false); // greyed, and no further clicks
    if (OnButtonClick) {
        OnButtonClick(this);
    }
}
