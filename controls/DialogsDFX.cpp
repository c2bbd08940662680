#include "DialogsDFX.h"

#include "MsgDialogLayoutDfx.h"
#include "QtTextDfx.h"

#include "engine/RegIniFileDfx.h"
#include "support/FormatDfx.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <deque>
#include <map>
#include <stdexcept>

namespace {

struct ButtonKind {
    const char* Name;
    const char* Caption;
    int Result;
};

constexpr ButtonKind kButtons[] = {
    {"Yes", "&Yes", mrYes},
    {"No", "&No", mrNo},
    {"OK", "OK", mrOk},
    {"Cancel", "Cancel", mrCancel},
    {"Abort", "&Abort", mrAbort},
    {"Retry", "&Retry", mrRetry},
    {"Ignore", "&Ignore", mrIgnore},
    {"All", "&All", mrAll},
    {"NoToAll", "N&o to All", mrNoToAll},
    {"YesToAll", "Yes to &All", mrYesToAll},
    {"Help", "&Help", mrNone},
};
constexpr int kButtonKinds = 11;
const char* const kSaveResponse = "&Save Response and don't display again";
const char* const kStoreSection = "Saved Dialog Responses";

TDfxClock& Clock() {
    static TDfxClock clock;
    return clock;
}

int64_t Now() {
    if (Clock()) {
        return Clock()();
    }
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QString WithoutAccelerator(const char* caption) {
    QString text = QString::fromLatin1(caption);
    text.remove(QLatin1Char('&'));
    return text;
}

// Caption widths of each button kind, measured once for the process.
int CaptionWidth(int kind, const QFontMetrics& fm) {
    static std::map<int, int> widths;
    auto it = widths.find(kind);
    if (it == widths.end()) {
        it = widths.emplace(kind, fm.horizontalAdvance(WithoutAccelerator(kButtons[kind].Caption)))
                 .first;
    }
    return it->second;
}

QIcon IconFor(TMsgDlgType type, const QStyle* style) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case TMsgDlgType::mtError:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case TMsgDlgType::mtInformation:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case TMsgDlgType::mtConfirmation:
        return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case TMsgDlgType::mtCustom:
        break;
    }
    return {};
}

QString CountDownCaption(const std::string& title, int seconds) {
    return ToQt(DfxFormat("%s, time remaining: %d", title, seconds));
}

QRect ToQRect(const TDfxRect& r) {
    return {r.Left, r.Top, r.Width, r.Height};
}

struct SeamState {
    std::deque<int> answers;
    std::string lastMessage;
};
SeamState& Seam() {
    static SeamState seam;
    return seam;
}

} // namespace

TDfxMsgDialog::TDfxMsgDialog(QWidget* owner, const std::string& message, TMsgDlgType type,
                             TMsgDlgButtons buttons, int focusIndex, const std::string& caption,
                             uint32_t timeoutMs, bool hasStore, uint8_t flags)
    : QDialog(owner), FType(type), FTimeoutMs(timeoutMs), FFlags(flags) {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint |
                   ((flags & DFX_DLG_TOPMOST) != 0 ? Qt::WindowStaysOnTopHint : Qt::Widget));
    setLayoutDirection(QGuiApplication::layoutDirection());
    setFont(QApplication::font("QMessageBox"));
    FTitle = caption.empty() ? FromQt(QGuiApplication::applicationDisplayName()) : caption;
    setWindowTitle(HasCountDown() ? CountDownCaption(FTitle, static_cast<int>(timeoutMs / 1000))
                                  : ToQt(FTitle));

    const QFontMetrics fm(font());
    const QRect screen = QGuiApplication::primaryScreen() != nullptr
                             ? QGuiApplication::primaryScreen()->geometry()
                             : QRect(0, 0, 1024, 768);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QString text = ToQt(message);
    const QRect textRect = fm.boundingRect(QRect(0, 0, screen.width() / 2, 0),
                                           Qt::TextWordWrap | Qt::TextExpandTabs, text);
    const QIcon icon = IconFor(type, style());

    TDfxMsgDialogMeasures m;
    m.CharWidth = fm.horizontalAdvance(letters) / 52;
    m.CharHeight = fm.boundingRect(letters).height();
    m.TextWidth = textRect.width();
    m.TextHeight = textRect.height();
    for (int kind = 0; kind < kButtonKinds; ++kind) {
        if ((buttons & (1u << kind)) != 0) {
            m.ButtonCaptionWidths.push_back(CaptionWidth(kind, fm));
        }
    }
    m.TitleWidth = fm.horizontalAdvance(windowTitle());
    m.CaptionButtonWidth = style()->pixelMetric(QStyle::PM_TitleBarHeight);
    m.CheckBoxCaptionWidth = fm.horizontalAdvance(WithoutAccelerator(kSaveResponse));
    if (hasStore) {
        QCheckBox probe(QString::fromLatin1(kSaveResponse));
        probe.setFont(font());
        m.CheckBoxHeight = probe.sizeHint().height();
        m.CheckBoxCaptionWidth = std::max(m.CheckBoxCaptionWidth, probe.sizeHint().width());
    }
    m.HasIcon = !icon.isNull();
    m.HasStore = hasStore;
    const TDfxMsgDialogLayout layout = DfxMsgDialogLayout(m);
    setFixedSize(layout.ClientWidth, layout.ClientHeight);

    if (hasStore) {
        auto* bevel = new QFrame(this);
        bevel->setObjectName("Bevel");
        bevel->setFrameShape(QFrame::HLine);
        bevel->setFrameShadow(QFrame::Sunken);
        bevel->setGeometry(ToQRect(layout.Bevel));
        FCheckBox = new QCheckBox(QString::fromLatin1(kSaveResponse), this);
        FCheckBox->setObjectName("CheckBox");
        FCheckBox->setGeometry(ToQRect(layout.CheckBox));
    }
    if (m.HasIcon) {
        auto* image = new QLabel(this);
        image->setObjectName("Image");
        image->setPixmap(icon.pixmap(32, 32));
        image->setGeometry(ToQRect(layout.Icon));
    }
    auto* label = new QLabel(text, this);
    label->setObjectName("Message");
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label->setGeometry(ToQRect(layout.Message));

    // Enter answers the default button, Escape the cancel button.
    const TMsgDlgBtn defaultKind = (buttons & (1u << mbOK)) != 0    ? mbOK
                                   : (buttons & (1u << mbYes)) != 0 ? mbYes
                                                                    : mbRetry;
    const TMsgDlgBtn cancelKind = (buttons & (1u << mbCancel)) != 0 ? mbCancel
                                  : (buttons & (1u << mbNo)) != 0   ? mbNo
                                                                    : mbOK;
    int shown = 0;
    for (int kind = 0; kind < kButtonKinds; ++kind) {
        if ((buttons & (1u << kind)) == 0) {
            continue;
        }
        auto* button = new QPushButton(QString::fromLatin1(kButtons[kind].Caption), this);
        button->setObjectName(kButtons[kind].Name);
        button->setGeometry(ToQRect(layout.Buttons[static_cast<std::size_t>(shown)]));
        button->setAutoDefault(false);
        button->setDefault(kind == defaultKind);
        if (kind == cancelKind) {
            FCancelButton = button;
        }
        const int result = kButtons[kind].Result;
        connect(button, &QPushButton::clicked, this, [this, result] {
            if (result == mrNone) {
                emit helpRequested();
            } else {
                SetResult(result);
            }
        });
        if (++shown == focusIndex) {
            FFocusButton = button;
        }
    }
    move(screen.center() - rect().center());
}

TDfxMsgDialog::~TDfxMsgDialog() = default;

void TDfxMsgDialog::SetClock(TDfxClock clock) {
    Clock() = std::move(clock);
}

bool TDfxMsgDialog::HasCountDown() const {
    return FTimeoutMs != 0 && FTimeoutMs != 0xFFFFFFFFu;
}

bool TDfxMsgDialog::SaveResponseChecked() const {
    return FCheckBox != nullptr && FCheckBox->isChecked();
}

void TDfxMsgDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FFocusButton != nullptr) {
        FFocusButton->setFocus();
        FFocusButton->setDefault(true);
    }
}

void TDfxMsgDialog::reject() {
    if (FCancelButton != nullptr) {
        FCancelButton->click();
    }
}

void TDfxMsgDialog::closeEvent(QCloseEvent* event) {
    event->ignore(); // the dialog goes away only with a result
    if (FModal) {
        if (FCancelButton != nullptr) {
            FCancelButton->click();
        } else {
            SetResult(mrCancel);
        }
    }
}

void TDfxMsgDialog::SetResult(int result) {
    FResult = result;
    if (FLoop != nullptr && result != mrNone) {
        FLoop->quit();
    }
}

void TDfxMsgDialog::Tick() {
    if (!HasCountDown() || FResult != mrNone) {
        return;
    }
    const int64_t remaining = FDeadline - Now();
    if (remaining <= 0) {
        SetResult(mrIgnore);
        return;
    }
    const int seconds = static_cast<int>((remaining + 500) / 1000);
    if (seconds != FShownSeconds && seconds > 0) {
        setWindowTitle(CountDownCaption(FTitle, seconds));
        FShownSeconds = seconds;
    }
}

int TDfxMsgDialog::ShowTimedModal() {
    if (isVisible() || !isEnabled() || FModal) {
        throw std::logic_error("Cannot make a visible window modal");
    }
    QWidget* previous = QApplication::activeWindow();
    FModal = true;
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    setWindowModality(Qt::ApplicationModal);
    // Put back on every path, an exception in the loop included.
    struct Restore {
        TDfxMsgDialog* dialog;
        QWidget* previous;
        ~Restore() {
            bool wasActive = QApplication::activeWindow() == dialog;
            dialog->hide();
            QGuiApplication::restoreOverrideCursor();
            if (previous != nullptr && wasActive) {
                previous->activateWindow();
            }
            dialog->FModal = false;
            dialog->FLoop = nullptr;
        }
    } restore{this, previous};

    QApplication::beep(); // the platform has no named sound for each kind of message
    show();
    if ((FFlags & DFX_DLG_FOREGROUND) != 0 && previous == nullptr) {
        raise();
        activateWindow();
    }
    FDeadline = Now() + FTimeoutMs;
    FResult = mrNone;
    FShownSeconds = 0;
    if (QCoreApplication::closingDown()) {
        return mrCancel;
    }
    QEventLoop loop;
    FLoop = &loop;
    // The count-down is checked a few times a second; the loop otherwise sleeps.
    QTimer ticker;
    ticker.setInterval(100);
    connect(&ticker, &QTimer::timeout, this, &TDfxMsgDialog::Tick);
    if (HasCountDown()) {
        ticker.start();
    }
    loop.exec();
    if (FResult == mrNone) {
        FResult = mrCancel; // the program is ending: the loop was told to quit
    }
    return FResult;
}

std::unique_ptr<TDfxMsgDialog> CreateDfxMsgDialog(QWidget* owner, const std::string& message,
                                                  TMsgDlgType type, TMsgDlgButtons buttons,
                                                  int focusIndex, const std::string& caption,
                                                  uint32_t timeoutMs, bool hasStore,
                                                  uint8_t flags) {
    return std::make_unique<TDfxMsgDialog>(owner, message, type, buttons, focusIndex, caption,
                                           timeoutMs, hasStore, flags);
}

int DfxMessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                  int focusIndex, const std::string& caption, uint32_t timeoutMs,
                  TRegIniFile* store, uint8_t flags) {
    if (store != nullptr) {
        int saved = -1;
        try {
            saved = store->ReadInteger(kStoreSection, caption, -1);
        } catch (const std::exception&) {
            saved = -1; // an unreadable answer is asked again
        }
        if (saved >= 0) {
            QApplication::beep();
            return saved;
        }
    }
    SeamState& seam = Seam();
    seam.lastMessage = message;
    if (!seam.answers.empty()) {
        int answer = seam.answers.front();
        seam.answers.pop_front();
        return answer;
    }
    QWidget* active = QApplication::activeWindow();
    std::unique_ptr<TDfxMsgDialog> dialog = CreateDfxMsgDialog(
        active, message, type, buttons, focusIndex, caption, timeoutMs, store != nullptr, flags);
    if (active != nullptr) {
        dialog->move(active->frameGeometry().center() - dialog->rect().center());
    }
    int result = dialog->ShowTimedModal();
    if (store != nullptr && dialog->SaveResponseChecked()) {
        store->WriteInteger(kStoreSection, caption, result);
    }
    dialog.reset();
    if (active != nullptr) {
        active->activateWindow();
    }
    return result;
}

bool DfxConfirmOkCancel(const std::string& message, const std::string& caption, uint32_t timeoutMs,
                        TRegIniFile* store, uint8_t flags) {
    return DfxMessageDlg(message, TMsgDlgType::mtConfirmation, DfxButtons({mbOK, mbCancel}), 2,
                         caption, timeoutMs, store, flags) == mrOk;
}

bool DfxConfirmYesNo(const std::string& message, const std::string& caption, uint32_t timeoutMs,
                     TRegIniFile* store, uint8_t flags) {
    return DfxMessageDlg(message, TMsgDlgType::mtConfirmation, DfxButtons({mbYes, mbNo}), 2,
                         caption, timeoutMs, store, flags) == mrYes;
}

void DfxShowMessage(TMsgDlgType type, const std::string& message) {
    DfxMessageDlg(message, type, DfxButtons({mbOK}), 1, "", 0, nullptr, DFX_DLG_FOREGROUND);
}

void TDfxMessageSeam::SetNextAnswer(int result) {
    Seam().answers.push_back(result);
}

const std::string& TDfxMessageSeam::LastMessage() {
    return Seam().lastMessage;
}

void TDfxMessageSeam::Forget() {
    Seam().answers.clear();
    Seam().lastMessage.clear();
}
