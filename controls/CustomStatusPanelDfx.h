// Status-bar panes: a pane of our own (caption, colours, frame, blinking, click),
// a pane whose caption has one part drawn in red, and a pane that turns into a
// blinking Cancel button while a worker thread runs.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

class QTimer;

enum class TPaneFrameStyle { None, Raised, Lowered, ButtonUp, ButtonDown };
enum class TPaneAlignment { Left, Right, Center };

// A caption's part marked with <RED> and </RED>; `after` is at most 255 characters.
struct TMarkedCaption {
    bool Marked = false; // false: no "<RED>", the caption is drawn as it is
    QString Before;
    QString Red;
    QString After;
};
TMarkedCaption DfxSplitMarkedCaption(const QString& caption);

class TDfxStatusPane : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDfxStatusPane)

public:
    explicit TDfxStatusPane(QWidget* parent = nullptr);
    ~TDfxStatusPane() override;

    QString Caption() const { return FCaption; }
    virtual void SetCaption(const QString& caption);
    QColor FontColor() const { return FFontColor; }
    void SetFontColor(const QColor& color);
    QColor FillColor() const { return FFillColor; }
    void SetFillColor(const QColor& color);
    int CaptionOffset() const { return FCaptionOffset; }
    void SetCaptionOffset(int offset);
    TPaneAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TPaneAlignment alignment);
    TPaneFrameStyle FrameStyle() const { return FFrameStyle; }
    void SetFrameStyle(TPaneFrameStyle style);
    bool Blinking() const { return FBlinking; }
    void SetBlinking(bool blinking);
    QColor BlinkColor() const { return FBlinkColor; }
    void SetBlinkColor(const QColor& color);
    // The colour the caption is drawn in now: the blink colour in the "on" phase.
    QColor TextColor() const;

    std::function<void(TDfxStatusPane*)> OnClick;
    std::function<void(TDfxStatusPane*)> OnMouseEnter;
    std::function<void(TDfxStatusPane*)> OnMouseLeave;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

    // The client area less the frame.
    QRect CaptionRect() const;
    virtual void DrawFrame(QPainter& painter);
    virtual void DrawCaption(QPainter& painter);
    virtual void Click();
    virtual void MouseEntered();
    virtual void MouseLeft();

private:
    QString FCaption;
    QColor FFontColor;
    QColor FFillColor;
    int FCaptionOffset = 0;
    TPaneAlignment FAlignment = TPaneAlignment::Left;
    TPaneFrameStyle FFrameStyle = TPaneFrameStyle::Lowered;
    bool FBlinking = false;
    bool FBlinkOn = false;
    QColor FBlinkColor;
    QTimer* FBlinkTimer;
};

// Draws its caption from the left whatever the alignment, the part between
// <RED> and </RED> in red; the markers are never drawn.
class TCustomDrawStatusPane final : public TDfxStatusPane {
    Q_OBJECT
public:
    using TDfxStatusPane::TDfxStatusPane;

protected:
    void DrawCaption(QPainter& painter) override;
};

// Shows a short text; in button mode a blinking "Cancel" button instead.
class TBaseThreadCancelStatusPane : public TDfxStatusPane {
    Q_OBJECT
public:
    explicit TBaseThreadCancelStatusPane(QWidget* parent = nullptr);

    bool ShowButton() const { return FShowButton; }
    void SetShowButton(bool show);
    // In button mode only remembered: it is shown when button mode ends.
    void SetCaption(const QString& caption) override;

protected:
    void MouseEntered() override;
    void MouseLeft() override;
    void hideEvent(QHideEvent* event) override;

private:
    bool FShowButton = false;
    QString FSavedCaption;
    Qt::CursorShape FSavedCursor = Qt::ArrowCursor;
    TPaneFrameStyle FSavedFrameStyle = TPaneFrameStyle::Lowered;
    TPaneAlignment FSavedAlignment = TPaneAlignment::Right;
};

class TThreadCancelStatusPane final : public TBaseThreadCancelStatusPane {
    Q_OBJECT
public:
    using TBaseThreadCancelStatusPane::TBaseThreadCancelStatusPane;

    // Raised once by a click in button mode; the pane then stays pressed and
    // disabled until button mode is switched off.
    std::function<void(TThreadCancelStatusPane*)> OnButtonClick;

protected:
    void Click() override;
};
