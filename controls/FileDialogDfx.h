// Open, save and folder dialogs as the program's commands use them: a filter written
// "Description|*.ext", a default extension, a starting folder. Tests answer them
// through TDfxFileDialogSeam instead of showing a window.
#pragma once

#include <QStringList>

#include <string>

class QWidget;

// A folder dialog may make a new folder; Filter and DefaultExt do not apply to it.
enum class TDfxFileDialogKind { Open, Save, Folder };

struct TDfxFileDialogOptions {
    TDfxFileDialogKind Kind = TDfxFileDialogKind::Open;
    std::string Title;      // empty: the platform's own title
    std::string Filter;     // "Enumerate Data|*.dat", pairs separated by "|"
    std::string DefaultExt; // without the dot
    std::string InitialDir;
    bool OverwritePrompt = false; // save: ask before replacing an existing file
};

// Asks for a file (or folder) name; false when the user cancels. A chosen name without an
// extension gets the default one.
bool DfxPromptForFileName(QWidget* owner, const TDfxFileDialogOptions& options,
                          std::string& fileName);

// "Enumerate Data|*.dat|All|*.*" as Qt writes name filters.
QStringList DfxQtNameFilters(const std::string& filter);
// `fileName` with "." and `ext` appended when its last part has no extension.
std::string DfxWithDefaultExt(const std::string& fileName, const std::string& ext);

// For tests: the next dialog answers this name ("" for Cancel) without showing
// anything, and the options asked for are kept for a look.
struct TDfxFileDialogSeam {
    static void SetNextFileName(const std::string& fileName);
    static const TDfxFileDialogOptions& LastOptions();
    static int DialogsAsked();
    static void Forget();
};
