// Runs the chosen action over the whole machine queue on a worker thread, one
// machine after the other, and shows each machine's outcome in the queue.
#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

class TDfxStopRequest;
class TRudListView;
class QWidget;

// What the runner reads from and writes to the main window.
class IExecuteWindow {
public:
    virtual ~IExecuteWindow() = default;
    virtual int ActionIndex() const = 0;                 // cbActions
    virtual std::string CopyFavoritesFolder() const = 0; // DirectoryEditCopyFavorites
    virtual std::string DefaultFolder() const = 0;       // the settings' DefaultDirectoryEdit
    virtual bool AbortOnFailure() const = 0;             // the settings' cbAbortOnFailure
    virtual TRudListView* MachineQueue() const = 0;
    virtual void SetStatusPaneHint(const std::string& text) = 0; // StatusPaneHint
    virtual void SetStartEnabled(bool enabled) = 0;              // "&Start Process"
    virtual void SetStopEnabled(bool enabled) = 0;               // "Sto&p Process"
    virtual void SetProgress(int percent, bool showPercent) = 0; // StatusProgressBar
    virtual void UpdateCommandStates() = 0;
};

// What the worker takes from the window for one machine.
struct TMachineJob {
    bool Valid = false; // false: the run is over for this worker
    std::string MachineName;
    std::string DefaultFolder;
    bool AbortOnFailure = false;
    int ActionIndex = -1;
    std::string CopyFolder;
};

class TActionRunner;

// The worker's way back to the window. It outlives the runner when a stopped
// worker is still finishing its machine: then it answers that the run is over.
class TRunLink final : public QObject {
    Q_OBJECT
public:
    explicit TRunLink(TActionRunner* runner) : FRunner(runner) {}
    void Forget();
    TMachineJob Job(uint64_t generation, int index);
    void ExecuteStatus(uint64_t generation, const std::string& text);

private:
    TActionRunner* FRunner;
};

// The worker: RunQueue runs the action over items 0 to count - 1.
class TExecuteThread final : public QThread {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TExecuteThread)

public:
    TExecuteThread(std::shared_ptr<TRunLink> link, int count, uint64_t generation);
    ~TExecuteThread() override;

    // A request: the walk in progress sees it before its next file, the run after
    // the current machine.
    void RequestStop();
    uint64_t Generation() const { return FGeneration; }

protected:
    void run() override;

private:
    void RunQueue();
    void RunAction(const TMachineJob& job);
    void SendStatus(bool error, const std::string& text);

    std::shared_ptr<TRunLink> FLink;
    int FCount;
    uint64_t FGeneration;
    std::unique_ptr<TDfxStopRequest> FStop;
    TMachineJob FJob; // the machine being processed
    int FIndex = 0;
};

// The messages of the action runner: WM_EXECUTE_STATUS from the worker,
// WM_PROCESS_DONE posted by Stop.
// Numbered from the first user message, 1024.
constexpr int WM_EXECUTE_STATUS = 1024 + 101;
constexpr int WM_PROCESS_DONE = 1024 + 5;

class TActionRunner final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TActionRunner)

public:
    explicit TActionRunner(IExecuteWindow& window, QObject* parent = nullptr);
    // Stops a run still going and gives its worker a moment to end.
    ~TActionRunner() override;

    void tbStartChangeClick();
    void tbStopChangeClick();
    bool IsRunning() const { return FExecuteThread != nullptr; }
    bool ClearInformation();
    bool CheckQueueNotEmpty();
    void ResetProgress();

    // The status texts, as the queue shows them.
    static const char* const kRestoreFailed;

    // Whether a worker of a stopped run still works on its machine.
    static bool WorkersStillRunning();

private:
    friend class TRunLink;
    TMachineJob Job(uint64_t generation, int index) const;
    void ExecuteStatus(uint64_t generation, const std::string& text);
    void ProcessDone();
    void ThreadDone(TExecuteThread* thread);

    IExecuteWindow& FWindow;
    std::shared_ptr<TRunLink> FLink;
    QPointer<TExecuteThread> FExecuteThread;
    uint64_t FGeneration = 0;
    int FRunningItem = -1; // the item of the last status shown
};

// The reason of a failed operation, as "Error: " and the text for its last-error code.
std::string DfxActionErrorText(unsigned long code);
