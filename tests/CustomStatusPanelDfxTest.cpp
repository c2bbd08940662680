#include "controls/CustomStatusPanelDfx.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

QImage Render(TDfxStatusPane& pane) {
    pane.resize(420, 22);
    QImage image(pane.size(), QImage::Format_ARGB32);
    pane.render(&image);
    return image;
}

bool IsRed(QRgb p) {
    return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80;
}

} // namespace

TEST(MarkedCaption, SplitsAroundTheMarkers) {
    struct Case {
        const char* caption;
        bool marked;
        const char* before;
        const char* red;
        const char* after;
    } cases[] = {
        {"Processing: <RED>\\\\10.0.0.1</RED>", true, "Processing: ", "\\\\10.0.0.1", ""},
        {"a<RED>b</RED>c<RED>d</RED>e", true, "a", "b", "c<RED>d</RED>e"},
        {"12 Records", false, "12 Records", "", ""},
        {"x<RED>open", true, "x", "open", ""},
        {"<RED></RED>", true, "", "", ""},
    };
    for (const Case& c : cases) {
        TMarkedCaption parts = DfxSplitMarkedCaption(QString::fromLatin1(c.caption));
        EXPECT_EQ(c.marked, parts.Marked) << c.caption;
        EXPECT_EQ(c.before, parts.Before.toStdString());
        EXPECT_EQ(c.red, parts.Red.toStdString());
        EXPECT_EQ(c.after, parts.After.toStdString());
    }
    QString longTail = "a<RED>b</RED>" + QString(300, 'z');
    EXPECT_EQ(255, DfxSplitMarkedCaption(longTail).After.size());
}

TEST(CustomDrawStatusPane, TheMarkedPartIsRedAndTheMarkersAreNeverDrawn) {
    TCustomDrawStatusPane marked;
    marked.SetCaption("Processing: <RED>\\\\10.0.0.1</RED>");
    marked.SetFontColor(Qt::black);
    marked.SetFillColor(Qt::white);
    TCustomDrawStatusPane plain;
    plain.SetCaption("Processing: \\\\10.0.0.1");
    plain.SetFontColor(Qt::black);
    plain.SetFillColor(Qt::white);
    plain.SetAlignment(TPaneAlignment::Right); // not used: the text starts at the left
    QImage a = Render(marked);
    QImage b = Render(plain);
    // Ink: green and blue well below white, as black and red text both give.
    auto ink = [](QRgb p) { return std::min(qGreen(p), qBlue(p)) < 200; };
    const int split = QFontMetrics(marked.font()).horizontalAdvance("Processing: ") + 2;
    int red = 0;
    int inkA = 0;
    int inkB = 0;
    int rightA = 0;
    int rightB = 0;
    for (int y = 3; y < a.height() - 3; ++y) {
        for (int x = 3; x < a.width() - 3; ++x) {
            QRgb p = a.pixel(x, y);
            if (ink(p)) {
                ++inkA;
                rightA = std::max(rightA, x);
                // Left of the split only black, right of it only red.
                EXPECT_EQ(x >= split, qRed(p) > qGreen(p) + 40) << "at " << x << "," << y;
            }
            if (ink(b.pixel(x, y))) {
                ++inkB;
                rightB = std::max(rightB, x);
            }
            red += IsRed(p) ? 1 : 0;
        }
    }
    // The same text, no wider: the markers were not drawn.
    EXPECT_NEAR(rightB, rightA, 1);
    EXPECT_NEAR(inkB, inkA, inkB / 10);
    EXPECT_GT(red, 20);
}

TEST(ThreadCancelStatusPane, ButtonModeAndItsClick) {
    TThreadCancelStatusPane pane;
    pane.resize(100, 20);
    pane.SetCaption("12 Records");
    int clicks = 0;
    pane.OnButtonClick = [&](TThreadCancelStatusPane*) { ++clicks; };
    EXPECT_EQ(TPaneAlignment::Right, pane.Alignment());

    pane.SetShowButton(true);
    pane.SetShowButton(true); // switching on twice changes nothing
    EXPECT_EQ("Cancel", pane.Caption());
    EXPECT_TRUE(pane.Blinking());
    EXPECT_EQ(TPaneAlignment::Center, pane.Alignment());
    EXPECT_EQ(TPaneFrameStyle::ButtonUp, pane.FrameStyle());
    pane.SetCaption("13 Records");
    pane.SetCaption("14 Records");
    EXPECT_EQ("Cancel", pane.Caption()) << "captions in button mode wait";

    QTest::mouseClick(&pane, Qt::LeftButton);
    QTest::mouseClick(&pane, Qt::LeftButton);
    EXPECT_EQ(1, clicks);
    EXPECT_FALSE(pane.isEnabled());
    EXPECT_EQ(TPaneFrameStyle::ButtonDown, pane.FrameStyle());

    pane.SetShowButton(false);
    pane.SetShowButton(false);
    EXPECT_EQ("14 Records", pane.Caption());
    EXPECT_TRUE(pane.isEnabled());
    EXPECT_FALSE(pane.Blinking());
    EXPECT_EQ(TPaneAlignment::Right, pane.Alignment());
    EXPECT_EQ(TPaneFrameStyle::Lowered, pane.FrameStyle());
    int plainClicks = 0;
    pane.OnClick = [&](TDfxStatusPane*) { ++plainClicks; };
    QTest::mouseClick(&pane, Qt::LeftButton);
    EXPECT_EQ(1, clicks) << "outside button mode a click is an ordinary one";
    EXPECT_EQ(1, plainClicks);
}

TEST(ThreadCancelStatusPane, TheBusyCursorIsAnArrowOverTheButton) {
    TThreadCancelStatusPane pane;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    pane.SetShowButton(true);
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&pane, &enter);
    EXPECT_EQ(Qt::ArrowCursor, QGuiApplication::overrideCursor()->shape());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&pane, &leave);
    EXPECT_EQ(Qt::WaitCursor, QGuiApplication::overrideCursor()->shape());
    QGuiApplication::restoreOverrideCursor();
}
