// "Connect": asks for the user name and password under which a machine is
// connected to, for one connection attempt. The password is kept nowhere and
// overwritten once used.
#pragma once

#include "platform/WinApi.h"

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

class TNetRegConnectForm final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TNetRegConnectForm)

public:
    explicit TNetRegConnectForm(QWidget* owner = nullptr);
    ~TNetRegConnectForm() override;

    // Asks modally; on OK connects to the machine as the user typed it and opens
    // its `root`. 1 with the key in `key`; the dialog's cancel result (2), or 3,
    // with the reason in ConnectionErrorText.
    int ConnectWithCredentials(const std::string& machine, HKEY root, HKEY* key);

    QLineEdit* edUserName;
    QLineEdit* edPassword; // every character shown as "*"
    QPushButton* btOK;
    QPushButton* btCancel;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FieldsChanged();
    // The typed password, the field emptied and its characters overwritten.
    std::string TakePassword();
};
