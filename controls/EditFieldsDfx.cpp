#include "EditFieldsDfx.h"

#include "FileDialogsDfx.h"
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
    if (auto folder = DfxFolderName(this, FDialogTitle, Text())) {
        SetText(*folder);
    }
}

void TFilenameEdit::Browse() {
    std::string dir = FromQt(QFileInfo(ToQt(Text())).absolutePath());
    if (auto file = DfxOpenFileName(this, FDialogTitle, Text().empty() ? std::string() : dir,
                                    FFilter, FDefaultExt)) {
        SetText(*file);
    }
}
