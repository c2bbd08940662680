#include "FileDialogsDfx.h"

#include "QtTextDfx.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <deque>

namespace {

struct SeamState {
    std::deque<std::optional<std::string>> answers;
    std::string title;
    std::string initialDir;
};

SeamState& Seam() {
    static SeamState seam;
    return seam;
}

// The seam's answer when tests have set one.
bool Answered(const std::string& title, const std::string& initialDir,
              std::optional<std::string>& answer) {
    SeamState& seam = Seam();
    seam.title = title;
    seam.initialDir = initialDir;
    if (seam.answers.empty()) {
        return false;
    }
    answer = seam.answers.front();
    seam.answers.pop_front();
    return true;
}

std::optional<std::string> RunFileDialog(QWidget* parent, const std::string& title,
                                         const std::string& initialDir, const std::string& filter,
                                         const std::string& defaultExt, bool save,
                                         bool askOverwrite) {
    std::optional<std::string> answer;
    if (Answered(title, initialDir, answer)) {
        if (answer && !defaultExt.empty() && QFileInfo(ToQt(*answer)).suffix().isEmpty()) {
            *answer += "." + defaultExt;
        }
        return answer;
    }
    QFileDialog dialog(parent, ToQt(title), ToQt(initialDir), DfxQtFilter(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(ToQt(defaultExt));
    if (!askOverwrite) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return FromQt(dialog.selectedFiles().constFirst());
}

} // namespace

QString DfxQtFilter(const std::string& filter) {
    const QStringList parts = ToQt(filter).split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString masks = parts[i + 1];
        masks.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << QStringLiteral("%1 (%2)").arg(parts[i], masks);
    }
    return out.join(QStringLiteral(";;"));
}

std::optional<std::string> DfxOpenFileName(QWidget* parent, const std::string& title,
                                           const std::string& initialDir, const std::string& filter,
                                           const std::string& defaultExt) {
    return RunFileDialog(parent, title, initialDir, filter, defaultExt, false, false);
}

std::optional<std::string> DfxSaveFileName(QWidget* parent, const std::string& title,
                                           const std::string& initialDir, const std::string& filter,
                                           const std::string& defaultExt, bool askOverwrite) {
    return RunFileDialog(parent, title, initialDir, filter, defaultExt, true, askOverwrite);
}

std::optional<std::string> DfxFolderName(QWidget* parent, const std::string& title,
                                         const std::string& initialDir) {
    std::optional<std::string> answer;
    if (Answered(title, initialDir, answer)) {
        return answer;
    }
    // Qt's own folder dialog has a button to make a new folder.
    QString folder = QFileDialog::getExistingDirectory(parent, ToQt(title), ToQt(initialDir),
                                                       QFileDialog::ShowDirsOnly);
    if (folder.isEmpty()) {
        return std::nullopt;
    }
    return FromQt(QDir::toNativeSeparators(folder));
}

void TDfxFileDialogSeam::SetNextAnswer(std::optional<std::string> answer) {
    Seam().answers.push_back(std::move(answer));
}

void TDfxFileDialogSeam::Forget() {
    Seam() = SeamState{};
}

const std::string& TDfxFileDialogSeam::LastTitle() {
    return Seam().title;
}

const std::string& TDfxFileDialogSeam::LastInitialDir() {
    return Seam().initialDir;
}
