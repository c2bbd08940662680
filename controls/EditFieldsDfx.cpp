#include "EditFieldsDfx.h"

#include "FileDialogDfx.h"
#include "QtTextDfx.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

TBrowseEdit::TBrowseEdit(QWidget* parent)
    : QWidget(parent), FEdit(new QLineEdit(this)), FButton(new QToolButton(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(FEdit, 1);
    layout->addWidget(FButton);
    FButton->setText(QStringLiteral("..."));
    FButton->setToolTip(QStringLiteral("Browse"));
    setFocusProxy(FEdit);
    connect(FEdit, &QLineEdit::textChanged, this, &TBrowseEdit::textChanged);
    connect(FButton, &QToolButton::clicked, this, [this] { Browse(); });
}

std::string TBrowseEdit::Text() const {
    return FromQt(FEdit->text());
}

void TBrowseEdit::SetText(const std::string& text) {
    FEdit->setText(ToQt(text));
}

void TDirectoryEdit::Browse() {
    TDfxFileDialogOptions options;
    options.Kind = TDfxFileDialogKind::Folder;
    options.Title = FDialogTitle;
    options.InitialDir = Text();
    std::string folder;
    if (DfxPromptForFileName(this, options, folder)) {
        SetText(folder);
    }
}

void TFilenameEdit::Browse() {
    TDfxFileDialogOptions options;
    options.Title = FDialogTitle;
    options.Filter = FFilter;
    options.DefaultExt = FDefaultExt;
    options.InitialDir =
        Text().empty() ? std::string() : FromQt(QFileInfo(ToQt(Text())).absolutePath());
    std::string file;
    if (DfxPromptForFileName(this, options, file)) {
        SetText(file);
    }
}
