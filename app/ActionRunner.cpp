#include "ActionRunner.h"

#include "GlobalVar.h"

#include "controls/DialogsDFX.h"
#include "controls/ListView.h"
#include "engine/FavoritesDfx.h"
#include "engine/RegistryDfx.h"
#include "engine/ShellFolderDfx.h"
#include "engine/StopRequestDfx.h"
#include "support/SysErrorDfx.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QTimer>

#include <atomic>

namespace {

const char* const kProcessing = "Processing...";
const char* const kDone = "Done";
const char* const kRestored = "Succsessfully Restore The Favorites";
const char* const kError = "Error";
const char* const kStopped = "Action stopped...";
const char* const kStarted = "Action started...";
const char* const kNoDefaultFolder = "Error: no default folder is set";

std::atomic<int> gLiveWorkers{0};

// How long closing the window waits for a stopped worker to finish its file.
constexpr int kShutdownWaitMs = 3000;

} // namespace

const char* const TActionRunner::kRestoreFailed =
    "Not All Favorites Files/Folders Where Restored, Or Machine Is Unavailable, Or Machine "
    "Folder Does Not Exist Or More Privileges Is Needed";

std::string DfxActionErrorText(unsigned long code) {
    switch (code) {
    case ERROR_NOT_LOGGED_ON:
        return "Error: no user is logged on";
    case ERROR_NO_NET_OR_BAD_PATH:
        return "Error: the Favorites folder is not set";
    case ERROR_REGISTRY_IO_FAILED:
        return "Error: the registry cannot be read";
    case ERROR_NO_TOKEN:
        return "Error: the folder path holds an unknown token";
    case ERROR_INVALID_NAME:
        return "Error: invalid machine name";
    case ERROR_BAD_PATHNAME:
        return "Error: the Favorites folder is not on a local drive";
    case ERROR_CIRCULAR_DEPENDENCY:
        return "Error: the folder path refers to itself";
    default:
        return "Error: " + DfxSysErrorMessage(static_cast<DWORD>(code));
    }
}

// ---- the link -------------------------------------------------------------------

void TRunLink::Forget() {
    FRunner = nullptr;
}

TMachineJob TRunLink::Job(uint64_t generation, int index) {
    return FRunner != nullptr ? FRunner->Job(generation, index) : TMachineJob{};
}

void TRunLink::ExecuteStatus(uint64_t generation, const std::string& text) {
    if (FRunner != nullptr) {
        FRunner->ExecuteStatus(generation, text);
    }
}

// ---- the worker -----------------------------------------------------------------

TExecuteThread::TExecuteThread(std::shared_ptr<TRunLink> link, int count, uint64_t generation)
    : FLink(std::move(link)), FCount(count), FGeneration(generation),
      FStop(std::make_unique<TDfxStopRequest>()) {
    ++gLiveWorkers;
}

TExecuteThread::~TExecuteThread() {
    --gLiveWorkers;
}

void TExecuteThread::RequestStop() {
    requestInterruption();
    FStop->Request();
}

void TExecuteThread::run() {
    RunQueue();
}

void TExecuteThread::RunQueue() {
    for (int i = 0; i < FCount && !isInterruptionRequested(); ++i) {
        // The window's fields as they stand now: changes made during a run take
        // effect from the next machine on.
        TMachineJob job;
        TRunLink* link = FLink.get();
        const uint64_t generation = FGeneration;
        QMetaObject::invokeMethod(
            link, [&job, link, generation, i] { job = link->Job(generation, i); },
            Qt::BlockingQueuedConnection);
        if (!job.Valid || isInterruptionRequested()) {
            return;
        }
        FJob = job;
        FIndex = i;
        SendStatus(false, kProcessing);
        try {
            RunAction(job);
        } catch (...) {
            SendStatus(true, kError);
        }
    }
}

void TExecuteThread::RunAction(const TMachineJob& job) {
    const std::string local = job.DefaultFolder + "\\" + ExcludeLeadingBackslashes(job.MachineName);
    const bool backupOrRestore = job.ActionIndex == 0 || job.ActionIndex == 1;
    if (backupOrRestore && job.DefaultFolder.empty()) {
        // Not the root of a drive: no folder at all is chosen.
        SendStatus(true, kNoDefaultFolder);
        return;
    }
    bool ok = false;
    switch (job.ActionIndex) {
    case 0:
        ok = DfxBackupUserShellFolder(job.MachineName, local, DFX_FAVORITES_FOLDER,
                                      job.AbortOnFailure, true, FStop.get());
        break;
    case 1:
        ok = DfxRestoreUserShellFolder(job.MachineName, local, DFX_FAVORITES_FOLDER, "",
                                       job.AbortOnFailure, true, FStop.get());
        break;
    case 2:
        ok = DfxRestoreUserShellFolder(job.MachineName, job.CopyFolder, DFX_FAVORITES_FOLDER, "",
                                       job.AbortOnFailure, true, FStop.get());
        break;
    case 3:
        ok = DfxClearUserShellFolder(job.MachineName, "", DFX_FAVORITES_FOLDER, FStop.get());
        break;
    default:
        return; // no such action: nothing runs
    }
    const DWORD code = ok ? 0 : GetLastError();
    if (isInterruptionRequested()) {
        return; // stopped: the window shows "Action stopped..." for this machine
    }
    if (job.ActionIndex == 1) {
        SendStatus(!ok, ok ? kRestored : TActionRunner::kRestoreFailed);
    } else {
        SendStatus(!ok, ok ? std::string(kDone) : DfxActionErrorText(code));
    }
}

void TExecuteThread::SendStatus(bool error, const std::string& text) {
    std::lock_guard lock(GRunStateLock());
    GMachineName = FJob.MachineName;
    GDefaultFolder = FJob.DefaultFolder;
    GAbortOnFailure = FJob.AbortOnFailure;
    GItemIndex = FIndex;
    GStatusError = error;
    TRunLink* link = FLink.get();
    const uint64_t generation = FGeneration;
    // WM_EXECUTE_STATUS: the worker waits until the window has handled it.
    QMetaObject::invokeMethod(
        link, [link, generation, text] { link->ExecuteStatus(generation, text); },
        Qt::BlockingQueuedConnection);
}

// ---- the runner ------------------------------------------------------------------

TActionRunner::TActionRunner(IExecuteWindow& window, QObject* parent)
    : QObject(parent), FWindow(window),
      FLink(new TRunLink(this), [](TRunLink* link) { link->deleteLater(); }) {
    FWindow.SetStartEnabled(true);
    FWindow.SetStopEnabled(false);
}

TActionRunner::~TActionRunner() {
    FLink->Forget(); // a worker still finishing learns that the run is over
    if (FExecuteThread) {
        FExecuteThread->RequestStop();
        FExecuteThread = nullptr;
    }
    // Give stopped workers a moment to finish the file they are at; answer their
    // messages meanwhile, since they wait for them.
    QDeadlineTimer deadline(kShutdownWaitMs);
    while (WorkersStillRunning() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
}

bool TActionRunner::WorkersStillRunning() {
    return gLiveWorkers.load() > 0;
}

bool TActionRunner::CheckQueueNotEmpty() {
    if (FWindow.MachineQueue()->Count() == 0) {
        DfxShowMessage(TMsgDlgType::mtInformation,
                       "Machine queue is empty, please drag/drop one or more machines to queue.");
        return false;
    }
    return true;
}

bool TActionRunner::ClearInformation() {
    try {
        TRudListView* queue = FWindow.MachineQueue();
        for (int i = 0; i < queue->Count(); ++i) {
            queue->SetSubItemText(i, 0, "");
        }
        return true;
    } catch (const std::exception&) {
        DfxShowMessage(TMsgDlgType::mtError, "Unable to clear information queue");
        return false;
    }
}

void TActionRunner::tbStartChangeClick() {
    if (!CheckQueueNotEmpty()) {
        return;
    }
    FWindow.SetStatusPaneHint(kStarted);
    FExecuteThread = nullptr;
    ClearInformation();
    FWindow.SetStopEnabled(true);
    TRudListView* queue = FWindow.MachineQueue();
    auto* thread = new TExecuteThread(FLink, queue->Count(), ++FGeneration);
    // It frees itself when it ends; ThreadDone runs on this thread then.
    connect(thread, &QThread::finished, this, [this, thread] { ThreadDone(thread); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    FExecuteThread = thread;
    FRunningItem = -1;
    queue->SetEditingLocked(true);
    thread->start();
    FWindow.SetStartEnabled(false);
    FWindow.SetStopEnabled(true);
}

void TActionRunner::tbStopChangeClick() {
    if (!FExecuteThread) {
        return;
    }
    // A request, not an end from outside: the worker finishes the file it is at
    // and then goes, and nothing it says reaches the queue any more.
    FExecuteThread->RequestStop();
    FExecuteThread = nullptr;
    ++FGeneration;
    FWindow.SetStartEnabled(true);
    FWindow.SetStopEnabled(false);
    TRudListView* queue = FWindow.MachineQueue();
    queue->SetEditingLocked(false);
    if (FRunningItem >= 0 && FRunningItem < queue->Count()) {
        queue->SetSubItemText(FRunningItem, 0, kStopped);
    }
    FWindow.SetStatusPaneHint(kStopped);
    // WM_PROCESS_DONE, posted.
    QMetaObject::invokeMethod(this, &TActionRunner::ProcessDone, Qt::QueuedConnection);
}

void TActionRunner::ProcessDone() {
    FWindow.UpdateCommandStates();
    ResetProgress();
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

void TActionRunner::ResetProgress() {
    FWindow.SetStatusPaneHint("");
    FWindow.SetProgress(100, false);
    // Back to 0 a moment later, without holding up the window meanwhile.
    QTimer::singleShot(200, this, [this] { FWindow.SetProgress(0, false); });
}

void TActionRunner::ThreadDone(TExecuteThread* thread) {
    if (thread != FExecuteThread) {
        return; // a stopped run: Stop has done all this already
    }
    FWindow.SetStartEnabled(true);
    FWindow.SetStopEnabled(false);
    FExecuteThread = nullptr;
    FWindow.MachineQueue()->SetEditingLocked(false);
    FWindow.SetStatusPaneHint(kStopped);
}

TMachineJob TActionRunner::Job(uint64_t generation, int index) const {
    TRudListView* queue = FWindow.MachineQueue();
    if (generation != FGeneration || index >= queue->Count()) {
        return {};
    }
    TMachineJob job;
    job.Valid = true;
    job.MachineName = queue->Item(index).Caption;
    job.DefaultFolder = FWindow.DefaultFolder();
    job.AbortOnFailure = FWindow.AbortOnFailure();
    job.ActionIndex = FWindow.ActionIndex();
    job.CopyFolder = FWindow.CopyFavoritesFolder();
    return job;
}

void TActionRunner::ExecuteStatus(uint64_t generation, const std::string& text) {
    if (generation != FGeneration) {
        return; // from a stopped run
    }
    TRudListView* queue = FWindow.MachineQueue();
    if (GItemIndex < 0 || GItemIndex >= queue->Count()) {
        return;
    }
    queue->SetSubItemText(GItemIndex, 0, text);
    queue->SetImageIndex(GItemIndex, GStatusError ? 3 : 2);
    FRunningItem = GItemIndex;
}
