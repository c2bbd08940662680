// File and folder dialogs as the program asks for them, with a seam so that
// tests choose the answer instead of a person.
#pragma once

#include <QString>

#include <optional>
#include <string>

class QWidget;

// "Enumerate Data|*.dat|All|*.*" in the Qt form "Enumerate Data (*.dat);;All (*.*)".
QString DfxQtFilter(const std::string& filter);

// The chosen name, or nothing when cancelled. A typed name without an extension
// gets `defaultExt`; the save dialog asks before overwriting when told to.
std::optional<std::string> DfxOpenFileName(QWidget* parent, const std::string& title,
                                           const std::string& initialDir, const std::string& filter,
                                           const std::string& defaultExt);
std::optional<std::string> DfxSaveFileName(QWidget* parent, const std::string& title,
                                           const std::string& initialDir, const std::string& filter,
                                           const std::string& defaultExt, bool askOverwrite);
// A folder dialog that may make a new folder.
std::optional<std::string> DfxFolderName(QWidget* parent, const std::string& title,
                                         const std::string& initialDir);

struct TDfxFileDialogSeam {
    // The next dialog answers this at once (nullopt: as if cancelled).
    static void SetNextAnswer(std::optional<std::string> answer);
    static void Forget();
    // What the last dialog was asked: its title and initial folder.
    static const std::string& LastTitle();
    static const std::string& LastInitialDir();
};
