// The program's own message dialog: a count-down after which it closes by itself
// (the seconds left shown in the title), a chosen button with the focus, a check
// box that stores the answer so that the question is not asked again, and a
// sound for the kind of message.
#pragma once

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QCheckBox;
class QEventLoop;
class QLabel;
class QPushButton;
class QTimer;
class TRegIniFile;

enum class TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : uint8_t {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
};
using TMsgDlgButtons = uint16_t; // bit n for TMsgDlgBtn n

constexpr TMsgDlgButtons DfxButtons(std::initializer_list<TMsgDlgBtn> buttons) {
    TMsgDlgButtons set = 0;
    for (TMsgDlgBtn b : buttons) {
        set = static_cast<TMsgDlgButtons>(set | (1u << b));
    }
    return set;
}

// Results of a closed dialog; 0 while there is none.
enum : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};

// Flags: bring the dialog to the foreground when no window of the program is
// active; keep it above all other windows.
constexpr uint8_t DFX_DLG_FOREGROUND = 1;
constexpr uint8_t DFX_DLG_TOPMOST = 2;

// Milliseconds from a clock that no change of the wall clock disturbs; tests set their own.
using TDfxClock = std::function<int64_t()>;

class TDfxMsgDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TDfxMsgDialog)

public:
    TDfxMsgDialog(QWidget* owner, const std::string& message, TMsgDlgType type,
                  TMsgDlgButtons buttons, int focusIndex, const std::string& caption,
                  uint32_t timeoutMs, bool hasStore, uint8_t flags);
    ~TDfxMsgDialog() override;

    // Shows the dialog modally until a button, the count-down, the close box or
    // the end of the program gives a result. Raises std::logic_error
    // "Cannot make a visible window modal" when it is already shown.
    int ShowTimedModal();
    // Checks the count-down; the modal loop calls it several times a second.
    void Tick();

    bool SaveResponseChecked() const;
    QPushButton* FocusButton() const { return FFocusButton; }
    const std::string& Title() const { return FTitle; }
    uint32_t TimeoutMs() const { return FTimeoutMs; }

    static void SetClock(TDfxClock clock); // nullptr: the steady clock

signals:
    // The Help button was pressed; it does not close the dialog.
    void helpRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void SetResult(int result);
    bool HasCountDown() const;

    std::string FTitle;
    TMsgDlgType FType;
    uint32_t FTimeoutMs;
    uint8_t FFlags;
    QCheckBox* FCheckBox = nullptr;
    QPushButton* FFocusButton = nullptr;
    QPushButton* FCancelButton = nullptr;
    int FResult = mrNone;
    int64_t FDeadline = 0;
    int FShownSeconds = 0;
    bool FModal = false;
    QEventLoop* FLoop = nullptr;
};

// Builds the dialog, centred on the screen, without showing it.
std::unique_ptr<TDfxMsgDialog> CreateDfxMsgDialog(QWidget* owner, const std::string& message,
                                                  TMsgDlgType type, TMsgDlgButtons buttons,
                                                  int focusIndex, const std::string& caption,
                                                  uint32_t timeoutMs, bool hasStore, uint8_t flags);

// Asks; an answer saved under "Saved Dialog Responses" in `store` (value name:
// the caption) is given at once with a beep. Time-out 0 or (uint32_t)-1: no count-down.
int DfxMessageDlg(const std::string& message, TMsgDlgType type, TMsgDlgButtons buttons,
                  int focusIndex, const std::string& caption, uint32_t timeoutMs,
                  TRegIniFile* store, uint8_t flags);
bool DfxConfirmOkCancel(const std::string& message, const std::string& caption, uint32_t timeoutMs,
                        TRegIniFile* store, uint8_t flags);
bool DfxConfirmYesNo(const std::string& message, const std::string& caption, uint32_t timeoutMs,
                     TRegIniFile* store, uint8_t flags);
// An error, information or warning box with an OK button, as the commands show them.
void DfxShowMessage(TMsgDlgType type, const std::string& message);

// For tests: the next DfxMessageDlg answers `result` without showing anything, and
// the messages asked are kept for a look.
struct TDfxMessageSeam {
    static void SetNextAnswer(int result);
    static const std::string& LastMessage();
    static void Forget();
};
