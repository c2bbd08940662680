// The settings dialog: default enum file, default folder for backups and
// "Abort on Failure". It lives from the program's start to its end, and the
// action runner reads its fields.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;
class TDirectoryEdit;
class TFilenameEdit;
class TRegIniFile;

class TFrmSettings final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TFrmSettings)

public:
    explicit TFrmSettings(QWidget* owner = nullptr);
    ~TFrmSettings() override;

    TFilenameEdit* edDefaultEnum;
    QLabel* lblInformation;
    TDirectoryEdit* DefaultDirectoryEdit;
    QCheckBox* cbAbortOnFailure;
    QPushButton* btnOk;
    QPushButton* btnCancel;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void btnOkClick();
    void btnCancelClick();

    std::unique_ptr<TRegIniFile> FRegIni;
    std::string FShownEnumFile;
    std::string FShownFolder;
    bool FShownAbortOnFailure = false;
};
