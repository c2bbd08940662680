// Text fields for a folder or a file name, with a browse button beside them.
#pragma once

#include <QWidget>

#include <string>

class QLineEdit;
class QToolButton;

class TBrowseEdit : public QWidget {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TBrowseEdit)

public:
    explicit TBrowseEdit(QWidget* parent = nullptr);

    std::string Text() const;
    void SetText(const std::string& text);
    QLineEdit* Edit() const { return FEdit; }
    QToolButton* BrowseButton() const { return FButton; }
    // The title of the browse dialog.
    void SetDialogTitle(const std::string& title) { FDialogTitle = title; }

signals:
    void textChanged();

protected:
    virtual void Browse() = 0;
    std::string FDialogTitle;

private:
    QLineEdit* FEdit;
    QToolButton* FButton;
};

// A folder, chosen in a folder dialog that may make a new folder.
class TDirectoryEdit final : public TBrowseEdit {
    Q_OBJECT
public:
    using TBrowseEdit::TBrowseEdit;

protected:
    void Browse() override;
};

// A file to open, chosen in a file dialog with a filter ("Enumerate Data|*.dat")
// and a default extension.
class TFilenameEdit final : public TBrowseEdit {
    Q_OBJECT
public:
    using TBrowseEdit::TBrowseEdit;
    void SetFilter(const std::string& filter) { FFilter = filter; }
    void SetDefaultExt(const std::string& ext) { FDefaultExt = ext; }

protected:
    void Browse() override;

private:
    std::string FFilter;
    std::string FDefaultExt;
};
