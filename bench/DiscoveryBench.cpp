// The machine tree at the size of a large network: 100,000 machines under 100
// domains. Loading the enum file into the tree and saving it again (goal: under
// 500 ms each), and enumerating a lab network of that size into the tree (goal:
// under 1 s). Headless, on the offscreen platform.
#include "BenchLab.h"

#include "discovery/EnumNetworkDfx.h"
#include "discovery/TreeViewDfx.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

constexpr int kDomains = 100;
constexpr int kMachinesPerDomain = 1000;

std::string DomainName(int d) {
    return "DOMAIN" + std::to_string(d);
}

std::string MachineName(int d, int m) {
    return "WS" + std::to_string(d) + "-" + std::to_string(m);
}

struct Fixture {
    bench::BenchLab lab;
    std::string enumFile = lab.Root() + "/../Network.dat";
    std::string savedFile = lab.Root() + "/../Saved.dat";

    Fixture() {
        std::string file = "Microsoft Windows Network\r\n";
        std::string json = R"({"localMachine": "ADMINPC", "providers": [)"
                           R"({"name": "Microsoft Windows Network", "domains": [)";
        for (int d = 0; d < kDomains; ++d) {
            file += '\t';
            file += DomainName(d) + "\r\n";
            json += (d > 0 ? ", " : "") + std::string(R"({"name": ")") + DomainName(d) +
                    R"(", "machines": [)";
            for (int m = 0; m < kMachinesPerDomain; ++m) {
                file += "\t\t";
                file += MachineName(d, m) + "\r\n";
                json += (m > 0 ? ", \"" : "\"") + MachineName(d, m) + "\"";
            }
            json += "]}";
        }
        json += "]}]}\n";
        lab.Write("network.json", json);
        lab.Write("../Network.dat", file);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void Check(bool ok, const std::string& what) {
    if (!ok) {
        throw std::runtime_error(what);
    }
}

int CountNodes(const QTreeWidget& tree) {
    int n = 0;
    DfxForEachNode(&tree, 2, [&](QTreeWidgetItem*, int) { return ++n > 0; });
    return n;
}

void BM_LoadEnumFile(benchmark::State& state) {
    Fixture& f = Shared();
    TDfxTreeView tree;
    std::string error;
    for (auto _ : state) {
        Check(DfxLoadEnumFile(&tree, f.enumFile, error), error); // replaces the last load
    }
    Check(CountNodes(tree) == 1 + kDomains + kDomains * kMachinesPerDomain, "nodes missing");
}
BENCHMARK(BM_LoadEnumFile)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

void BM_SaveEnumFile(benchmark::State& state) {
    Fixture& f = Shared();
    TDfxTreeView tree;
    std::string error;
    Check(DfxLoadEnumFile(&tree, f.enumFile, error), error);
    for (auto _ : state) {
        Check(DfxSaveEnumFile(&tree, f.savedFile, error), error);
    }
    Check(std::filesystem::file_size(f.savedFile) == std::filesystem::file_size(f.enumFile),
          "saved file differs");
}
BENCHMARK(BM_SaveEnumFile)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

void BM_EnumerateIntoTree(benchmark::State& state) {
    Shared();
    TDfxEnumNet net;
    TDfxTreeView tree;
    for (auto _ : state) {
        net.Enumerate(2);
        net.FillTreeView(&tree, 0, 1, 2);
    }
    Check(net.MachineCount() == kDomains * kMachinesPerDomain, "machines missing");
    Check(CountNodes(tree) == 1 + kDomains + kDomains * kMachinesPerDomain, "nodes missing");
}
BENCHMARK(BM_EnumerateIntoTree)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

// The walk alone, to tell the network's share from the tree's.
void BM_EnumerateOnly(benchmark::State& state) {
    Shared();
    TDfxEnumNet net;
    for (auto _ : state) {
        net.Enumerate(2);
    }
    Check(net.MachineCount() == kDomains * kMachinesPerDomain, "machines missing");
}
BENCHMARK(BM_EnumerateOnly)->Unit(benchmark::kMillisecond)->MinTime(3)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
