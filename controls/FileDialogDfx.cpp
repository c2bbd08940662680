#include "FileDialogDfx.h"

#include "QtTextDfx.h"

#include <QDir>
#include <QFileDialog>

#include <deque>
#include <memory>

namespace {

struct SeamState {
    std::deque<std::string> answers;
    TDfxFileDialogOptions lastOptions;
    int asked = 0;
};

SeamState& Seam() {
    static SeamState seam;
    return seam;
}

} // namespace

QStringList DfxQtNameFilters(const std::string& filter) {
    QStringList filters;
    std::size_t start = 0;
    while (start < filter.size()) {
        std::size_t bar = filter.find('|', start);
        std::string description = filter.substr(start, bar - start);
        std::string patterns;
        if (bar != std::string::npos) {
            std::size_t next = filter.find('|', bar + 1);
            patterns = filter.substr(bar + 1, next == std::string::npos ? next : next - bar - 1);
            start = next == std::string::npos ? filter.size() : next + 1;
        } else {
            start = filter.size();
        }
        // Windows separates patterns with ";", Qt with blanks.
        for (char& c : patterns) {
            if (c == ';') {
                c = ' ';
            }
        }
        filters << ToQt(description) + " (" + ToQt(patterns) + ")";
    }
    return filters;
}

std::string DfxWithDefaultExt(const std::string& fileName, const std::string& ext) {
    std::size_t lastPart = fileName.find_last_of("\\/");
    lastPart = lastPart == std::string::npos ? 0 : lastPart + 1;
    if (ext.empty() || fileName.empty() || fileName.find('.', lastPart) != std::string::npos) {
        return fileName;
    }
    return fileName + "." + ext;
}

bool DfxPromptForFileName(QWidget* owner, const TDfxFileDialogOptions& options,
                          std::string& fileName) {
    SeamState& seam = Seam();
    seam.lastOptions = options;
    ++seam.asked;
    std::string chosen;
    if (!seam.answers.empty()) {
        chosen = seam.answers.front();
        seam.answers.pop_front();
    } else if (options.Kind == TDfxFileDialogKind::Folder) {
        // Qt's folder dialog has a button that makes a new folder.
        QString folder = QFileDialog::getExistingDirectory(
            owner, ToQt(options.Title), ToQt(options.InitialDir), QFileDialog::ShowDirsOnly);
        chosen = FromQt(QDir::toNativeSeparators(folder));
    } else {
        auto dialog =
            std::make_unique<QFileDialog>(owner, ToQt(options.Title), ToQt(options.InitialDir));
        bool save = options.Kind == TDfxFileDialogKind::Save;
        dialog->setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog->setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
        dialog->setNameFilters(DfxQtNameFilters(options.Filter));
        dialog->setDefaultSuffix(ToQt(options.DefaultExt));
        dialog->setOption(QFileDialog::DontConfirmOverwrite, !options.OverwritePrompt);
        if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
            return false;
        }
        chosen = FromQt(dialog->selectedFiles().constFirst());
    }
    if (chosen.empty()) {
        return false;
    }
    fileName = options.Kind == TDfxFileDialogKind::Folder
                   ? chosen
                   : DfxWithDefaultExt(chosen, options.DefaultExt);
    return true;
}

void TDfxFileDialogSeam::SetNextFileName(const std::string& fileName) {
    Seam().answers.push_back(fileName);
}

const TDfxFileDialogOptions& TDfxFileDialogSeam::LastOptions() {
    return Seam().lastOptions;
}

int TDfxFileDialogSeam::DialogsAsked() {
    return Seam().asked;
}

void TDfxFileDialogSeam::Forget() {
    Seam().answers.clear();
    Seam().lastOptions = {};
    Seam().asked = 0;
}
