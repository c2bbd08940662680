#include "NetRegConnectFrm.h"

#include "LogonAsUserDfx.h"
#include "MachineDialogsDfx.h"

#include "controls/DialogsDFX.h"
#include "controls/QtTextDfx.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QColor kFieldColour(193, 224, 255);

// Shows a password as asterisks whatever the platform's own mask is.
class TAsteriskStyle final : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_LineEdit_PasswordCharacter) {
            return '*';
        }
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

bool HasNonBlank(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() > ' '; });
}

// The program's main window, or the active window while there is none.
QWidget* MainWindow() {
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows) {
        if (qobject_cast<QMainWindow*>(w) != nullptr && w->isVisible()) {
            return w;
        }
    }
    return QApplication::activeWindow();
}

// Overwrites a secret in a line edit's own text buffer once this is its only holder.
void ScrubInPlace(QString& text) {
    std::fill(text.begin(), text.end(), QChar(u'\0'));
    text.clear();
}

} // namespace

TNetRegConnectForm::TNetRegConnectForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowStaysOnTopHint) {
    setObjectName("NetRegConnectForm");
    setWindowTitle("Connect");
    QPalette window = palette();
    window.setColor(QPalette::Window, Qt::white);
    setPalette(window);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setSpacing(4);
    edUserName = new QLineEdit(this);
    edUserName->setObjectName("edUserName");
    edPassword = new QLineEdit(this);
    edPassword->setObjectName("edPassword");
    edPassword->setEchoMode(QLineEdit::Password);
    // Made after the field, so that the field goes first when the dialog is freed.
    auto* asterisks = new TAsteriskStyle();
    asterisks->setParent(this);
    edPassword->setStyle(asterisks);
    for (QLineEdit* field : {edUserName, edPassword}) {
        QPalette p = field->palette();
        p.setColor(QPalette::Base, kFieldColour);
        field->setPalette(p);
        field->setFixedWidth(230);
    }
    auto* lblUserName = new QLabel("&User Name", this);
    lblUserName->setBuddy(edUserName);
    auto* lblPassword = new QLabel("&Password", this);
    lblPassword->setBuddy(edPassword);
    layout->addWidget(lblUserName);
    layout->addWidget(edUserName);
    layout->addSpacing(6);
    layout->addWidget(lblPassword);
    layout->addWidget(edPassword);
    layout->addSpacing(8);
    DfxAddOkCancelRow(layout, this, "&OK", "&Cancel", btOK, btCancel);
    setTabOrder(edUserName, edPassword);
    setTabOrder(edPassword, btOK);
    setTabOrder(btOK, btCancel);

    connect(edUserName, &QLineEdit::textChanged, this, &TNetRegConnectForm::FieldsChanged);
    connect(edPassword, &QLineEdit::textChanged, this, &TNetRegConnectForm::FieldsChanged);
}

TNetRegConnectForm::~TNetRegConnectForm() {
    std::string rest = TakePassword();
    DfxScrubText(rest);
}

int TNetRegConnectForm::ConnectWithCredentials(const std::string& machine, HKEY root, HKEY* key) {
    adjustSize();
    if (QWidget* main = MainWindow()) {
        move(main->frameGeometry().center() - rect().center());
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    if (exec() != QDialog::Accepted) {
        std::string rest = TakePassword();
        DfxScrubText(rest);
        ConnectionErrorText = "User Cancelled Connection";
        return mrCancel;
    }
    std::string user = FromQt(edUserName->text());
    std::string password = TakePassword();
    struct TScrub {
        std::string& Secret;
        ~TScrub() { DfxScrubText(Secret); }
    } scrub{password};
    return DfxConnectRegistryAsUser(machine, user, password, root, key);
}

void TNetRegConnectForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    QApplication::beep();
    edUserName->setFocus();
}

void TNetRegConnectForm::FieldsChanged() {
    btOK->setEnabled(HasNonBlank(edUserName->text()) && HasNonBlank(edPassword->text()));
}

std::string TNetRegConnectForm::TakePassword() {
    QString typed = edPassword->text();
    // Setting the text also forgets the field's undo history; `typed` is then
    // the only holder of the typed characters and can be overwritten in place.
    edPassword->setText(QString());
    std::string password = FromQt(typed);
    ScrubInPlace(typed);
    return password;
}
