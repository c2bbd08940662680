// The machine queue at scale: a machine list file of 100,000 items saved, loaded
// and sorted; and a Backup run over 1,000 lab machines with 50 favorites each,
// with the longest time the window's thread is held up by the run.
#include "BenchLab.h"

#include "app/ActionRunner.h"
#include "controls/ListView.h"
#include "engine/RegistryDfx.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace {

TListItem Machine(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "PC%06d", (i * 7919) % 100000);
    return TListItem{
        name, false, 2, 0, -1, -1, {{i % 3 == 0 ? "Done" : "Error: no user is logged on", -1}}, 0};
}

void Fill(TRudListView& queue, int count) {
    queue.AddColumn("Machine", 200);
    queue.AddColumn("Information", 1000);
    std::vector<TListItem> items;
    for (int i = 0; i < count; ++i) {
        items.push_back(Machine(i));
    }
    queue.LoadFromStream(DfxSaveQueueData(items, 1), false);
}

void BM_SaveMachineList(benchmark::State& state) {
    TRudListView queue;
    Fill(queue, 100000);
    bench::BenchLab lab;
    const std::string file = lab.Root() + "/Machines.dat";
    for (auto _ : state) {
        queue.SaveToFile(file);
    }
}
BENCHMARK(BM_SaveMachineList)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_LoadMachineList(benchmark::State& state) {
    TRudListView source;
    Fill(source, 100000);
    bench::BenchLab lab;
    const std::string file = lab.Root() + "/Machines.dat";
    source.SaveToFile(file);
    TRudListView queue;
    queue.AddColumn("Machine", 200);
    queue.AddColumn("Information", 1000);
    for (auto _ : state) {
        queue.LoadFromFile(file, false);
    }
}
BENCHMARK(BM_LoadMachineList)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_SortQueueByColumn(benchmark::State& state) {
    TRudListView queue;
    Fill(queue, 100000);
    int column = 0;
    for (auto _ : state) {
        queue.SortByColumn(column);
        column = 1 - column;
    }
}
BENCHMARK(BM_SortQueueByColumn)->Unit(benchmark::kMillisecond)->MinTime(2);

class Window final : public IExecuteWindow {
public:
    explicit Window(std::string folder) : FFolder(std::move(folder)) {
        Queue.AddColumn("Machine", 200);
        Queue.AddColumn("Information", 1000);
    }
    int ActionIndex() const override { return 0; }
    std::string CopyFavoritesFolder() const override { return {}; }
    std::string DefaultFolder() const override { return FFolder; }
    bool AbortOnFailure() const override { return false; }
    TRudListView* MachineQueue() const override { return const_cast<TRudListView*>(&Queue); }
    void SetStatusPaneHint(const std::string&) override {}
    void SetStartEnabled(bool) override {}
    void SetStopEnabled(bool) override {}
    void SetProgress(int, bool) override {}
    void UpdateCommandStates() override {}
    TRudListView Queue;

private:
    std::string FFolder;
};

void BM_BackupRunOver1000Machines(benchmark::State& state) {
    constexpr int kMachines = 1000;
    bench::BenchLab lab;
    std::string machines;
    std::string accounts;
    for (int i = 0; i < kMachines; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "PC%04d", i);
        const std::string sid = "S-1-5-21-1-2-3-" + std::to_string(2000 + i);
        const std::string user = "user" + std::to_string(i);
        machines += std::string(i ? ", \"" : "\"") + name + "\"";
        accounts += std::string(i ? ",\n" : "") + "{\"domain\": \"NORTHWIND\", \"name\": \"" +
                    user + "\", \"sid\": \"" + sid + "\"}";
        const std::string base = std::string("machines/") + name;
        lab.Write(base + "/HKLM.reg",
                  "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                  "NT\\CurrentVersion\\Winlogon]\r\n"
                  "\"DefaultUserName\"=\"" +
                      user +
                      "\"\r\n\"DefaultDomainName\"=\"NORTHWIND\"\r\n\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                      "NT\\CurrentVersion\\ProfileList\\" +
                      sid + "]\r\n\r\n");
        lab.Write(base + "/HKU.reg",
                  "REGEDIT4\r\n\r\n[HKEY_USERS\\" + sid +
                      "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"
                      "\"Favorites\"=\"C:\\\\Favorites\"\r\n\r\n");
        for (int f = 0; f < 50; ++f) {
            lab.Write(base + "/C/Favorites/" + (f < 25 ? "Links/" : "") + "Site" +
                          std::to_string(f) + ".url",
                      "[InternetShortcut]\r\nURL=http://example.invalid/\r\n");
        }
    }
    lab.Write(
        "network.json",
        "{\"localMachine\": \"ADMINPC\", \"providers\": [{\"name\": \"Microsoft Windows Network\", "
        "\"domains\": [{\"name\": \"NORTHWIND\", \"machines\": [" +
            machines +
            "]}]}],\n"
            "\"accounts\": [" +
            accounts + "]}\n");
    InitLocalMachineName();
    for (auto _ : state) {
        state.PauseTiming();
        std::filesystem::remove_all(lab.Root() + "/../backups");
        Window window(lab.Root() + "/../backups");
        for (int i = 0; i < kMachines; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "PC%04d", i);
            window.Queue.AddItem(TListItem{name, false, 2, 0, -1, -1, {{"", -1}}, 0});
        }
        TActionRunner runner(window);
        // The window's thread: how long it goes without handling a timer of 1 ms.
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QTimer tick;
        tick.setInterval(1);
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { longest = std::max(longest, sinceTick.restart()); });
        state.ResumeTiming();
        QElapsedTimer run;
        run.start();
        runner.tbStartChangeClick();
        sinceTick.start();
        tick.start();
        while (runner.IsRunning()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            longest = std::max(longest, sinceTick.elapsed());
        }
        const double seconds = static_cast<double>(run.elapsed()) / 1000.0;
        state.PauseTiming();
        int done = 0;
        for (const TListItem& item : window.Queue.Items()) {
            done += item.SubItems[0].Text == "Done" ? 1 : 0;
        }
        if (done != kMachines) {
            throw std::runtime_error("only " + std::to_string(done) + " machines were backed up");
        }
        state.counters["machines_per_s"] = kMachines / seconds;
        state.counters["ui_blocked_max_ms"] = static_cast<double>(longest);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_BackupRunOver1000Machines)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
