#include "TreeCommandsDfx.h"

#include "EnumNetworkDfx.h"
#include "MachineEnumByDomainNameFrm.h"
#include "TreeViewDfx.h"

#include "controls/DialogsDFX.h"
#include "controls/FileDialogDfx.h"
#include "controls/WaitCursorDfx.h"
#include "engine/RegistryDfx.h"

#include <QCoreApplication>

#include <exception>
#include <new>

const char* const kDfxEnumFileFilter = "Enumerate Data|*.dat";
const char* const kDfxEnumeratingHint = "Enumerating LAN for Computers";

namespace {

TDfxFileDialogOptions EnumFileDialog(TDfxFileDialogKind kind) {
    TDfxFileDialogOptions options;
    options.Kind = kind;
    options.Filter = kDfxEnumFileFilter;
    options.DefaultExt = "dat";
    options.InitialDir = GetApplicationDir();
    options.OverwritePrompt = kind == TDfxFileDialogKind::Save;
    return options;
}

// Runs a command's work; whatever fails is shown in an error box.
template <class Work>
void ShowingErrors(Work&& work) {
    try {
        work();
    } catch (const std::bad_alloc&) {
        DfxShowMessage(TMsgDlgType::mtError, "Out of memory");
    } catch (const std::exception& e) {
        DfxShowMessage(TMsgDlgType::mtError, e.what());
    }
}

void ShowHint(const TDfxHintSetter& setHint) {
    if (setHint) {
        setHint(kDfxEnumeratingHint);
    }
    QCoreApplication::processEvents(); // so that the hint paints before the wait
}

} // namespace

void DfxOpenEnumCommand(QWidget* owner, TDfxTreeView* tree) {
    ShowingErrors([&] {
        std::string fileName;
        if (!DfxPromptForFileName(owner, EnumFileDialog(TDfxFileDialogKind::Open), fileName)) {
            return;
        }
        std::string error;
        if (!DfxLoadEnumFile(tree, fileName, error)) {
            DfxShowMessage(TMsgDlgType::mtError, error);
        }
    });
}

void DfxSaveEnumAsCommand(QWidget* owner, const TDfxTreeView* tree) {
    ShowingErrors([&] {
        std::string fileName;
        if (!DfxPromptForFileName(owner, EnumFileDialog(TDfxFileDialogKind::Save), fileName)) {
            return;
        }
        std::string error;
        if (!DfxSaveEnumFile(tree, fileName, error)) {
            DfxShowMessage(TMsgDlgType::mtError, error);
        }
    });
}

void DfxEnumerateLanCommand(TDfxEnumNet& enumNet, TDfxTreeView* tree,
                            const TDfxHintSetter& setHint) {
    ShowHint(setHint);
    ShowingErrors([&] {
        TDfxWaitCursor wait;
        enumNet.Enumerate(2);
        enumNet.FillTreeView(tree, 0, 1, 2);
    });
}

bool DfxEnumerateLanViaDomainNameCommand(
    TDfxEnumNet& enumNet, QWidget* owner, TDfxTreeView* tree, const TDfxHintSetter& setHint,
    const TDfxFormClass<TMachineEnumByDomainNameForm>& formClass) {
    ShowHint(setHint);
    bool confirmed = false;
    ShowingErrors([&] {
        std::string provider;
        std::string domain;
        if (!ShowEnumByDomainNameDialog(formClass, owner, tree, tree->SelectedNode(), provider,
                                        domain)) {
            return;
        }
        confirmed = true;
        TDfxWaitCursor wait;
        enumNet.EnumerateDomain(provider, domain);
        enumNet.FillTreeView(tree, 0, 1, 2);
    });
    return confirmed;
}
