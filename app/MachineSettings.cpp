#include "MachineSettings.h"

#include "SettingsStore.h"

#include "controls/DialogsDFX.h"
#include "controls/EditFieldsDfx.h"
#include "engine/RegIniFileDfx.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kDefaultEnumFile = "DefaultEnumFile";
const char* const kDefaultFolder = "DefaultFolder";
const char* const kAbortOnFailure = "AbortOnFailure";

QLabel* Header(const QString& text, QWidget* parent) {
    auto* header = new QLabel(text, parent);
    header->setAutoFillBackground(true);
    QPalette pal = header->palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 160));
    pal.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(pal);
    QFont font = header->font();
    font.setBold(true);
    header->setFont(font);
    header->setContentsMargins(8, 4, 8, 4);
    return header;
}

} // namespace

TFrmSettings::TFrmSettings(QWidget* owner)
    : QDialog(owner), edDefaultEnum(new TFilenameEdit(this)), lblInformation(new QLabel(this)),
      DefaultDirectoryEdit(new TDirectoryEdit(this)), cbAbortOnFailure(new QCheckBox(this)),
      btnOk(new QPushButton(this)), btnCancel(new QPushButton(this)) {
    setObjectName("FrmSettings");
    setWindowTitle("Settings");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    edDefaultEnum->setObjectName("edDefaultEnum");
    edDefaultEnum->SetFilter("Enumerate Data|*.dat");
    edDefaultEnum->SetDefaultExt("dat");
    edDefaultEnum->SetDialogTitle("Default enum file on startup");
    lblInformation->setObjectName("lblInformation");
    lblInformation->setText("If you see a quotation mark, remember to remove it both left/right");
    QPalette red = lblInformation->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    lblInformation->setPalette(red);
    QFont underlined = lblInformation->font();
    underlined.setUnderline(true);
    lblInformation->setFont(underlined);
    DefaultDirectoryEdit->setObjectName("DefaultDirectoryEdit");
    DefaultDirectoryEdit->SetDialogTitle(
        "Default folder name to use when Backup / Restore Favorites");
    cbAbortOnFailure->setObjectName("cbAbortOnFailure");
    cbAbortOnFailure->setText("Abort on Failure");
    btnOk->setObjectName("btnOk");
    btnOk->setText("&OK");
    btnOk->setDefault(true);
    btnCancel->setObjectName("btnCancel");
    btnCancel->setText("&Cancel");

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 10);
    layout->addWidget(Header("Settings Form", this));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(12, 6, 12, 0);
    body->addWidget(new QLabel("Default enum file on startup", this));
    body->addWidget(edDefaultEnum);
    body->addWidget(lblInformation);
    body->addSpacing(6);
    body->addWidget(new QLabel("Default folder name to use when Backup / Restore Favorites", this));
    body->addWidget(DefaultDirectoryEdit);
    auto* frame = new QGroupBox(this);
    auto* frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(cbAbortOnFailure);
    body->addSpacing(6);
    body->addWidget(frame);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    body->addSpacing(6);
    body->addLayout(buttons);
    layout->addLayout(body);
    setMinimumWidth(430);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOk, &QPushButton::clicked, this, &TFrmSettings::btnOkClick);
    connect(btnCancel, &QPushButton::clicked, this, &TFrmSettings::btnCancelClick);
    FormCreate();
}

TFrmSettings::~TFrmSettings() = default;

void TFrmSettings::FormCreate() {
    try {
        FRegIni = std::make_unique<TRegIniFile>(DFX_PROGRAM_KEY);
        edDefaultEnum->SetText(FRegIni->ReadString(DFX_SETTINGS_SECTION, kDefaultEnumFile, ""));
        DefaultDirectoryEdit->SetText(
            FRegIni->ReadString(DFX_SETTINGS_SECTION, kDefaultFolder, ""));
        cbAbortOnFailure->setChecked(
            FRegIni->ReadBool(DFX_SETTINGS_SECTION, kAbortOnFailure, false));
    } catch (const std::exception&) {
        DfxShowMessage(TMsgDlgType::mtError,
                       std::string("Unable to read settings from Registry\n") + DFX_SETTINGS_PLACE);
        close();
    }
}

void TFrmSettings::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FShownEnumFile = edDefaultEnum->Text();
    FShownFolder = DefaultDirectoryEdit->Text();
    FShownAbortOnFailure = cbAbortOnFailure->isChecked();
}

void TFrmSettings::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        btnCancel->click(); // Escape is the Cancel button, which puts the shown values back
        return;
    }
    QDialog::keyPressEvent(event);
}

void TFrmSettings::btnOkClick() {
    try {
        if (!FRegIni) {
            FRegIni = std::make_unique<TRegIniFile>(DFX_PROGRAM_KEY);
        }
        FRegIni->WriteString(DFX_SETTINGS_SECTION, kDefaultEnumFile, edDefaultEnum->Text());
        FRegIni->WriteString(DFX_SETTINGS_SECTION, kDefaultFolder, DefaultDirectoryEdit->Text());
        FRegIni->WriteBool(DFX_SETTINGS_SECTION, kAbortOnFailure, cbAbortOnFailure->isChecked());
    } catch (const std::exception&) {
        DfxShowMessage(TMsgDlgType::mtError,
                       std::string("Error writing to Registry\n") + DFX_SETTINGS_PLACE);
    }
    accept();
}

void TFrmSettings::btnCancelClick() {
    edDefaultEnum->SetText(FShownEnumFile);
    DefaultDirectoryEdit->SetText(FShownFolder);
    cbAbortOnFailure->setChecked(FShownAbortOnFailure);
    reject();
}
