// The folder tree walk against the system's own tools, side by side: copying a
// Favorites tree from a lab share to a local folder against cp -r, deleting it
// on the share against rm -r.
#include "BenchLab.h"

#include "engine/FolderTreeDfx.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kFolders = 400;
constexpr int kFilesPerFolder = 50; // 20,000 files

struct Fixture {
    bench::BenchLab lab;
    std::string share = "\\\\PC1\\C$\\Favorites";
    std::string source = lab.Root() + "/machines/PC1/C/Favorites";
    std::string scratch = lab.Root() + "/../scratch";

    Fixture() {
        for (int d = 0; d < kFolders; ++d) {
            std::string folder = "Folder " + std::to_string(d / 20) + "/Sub " + std::to_string(d);
            for (int f = 0; f < kFilesPerFolder; ++f) {
                lab.Write(
                    "machines/PC1/C/Favorites/" + folder + "/Site " + std::to_string(f) + ".url",
                    "[InternetShortcut]\r\nURL=http://site" + std::to_string(f) + ".example/\r\n");
            }
        }
        fs::create_directories(scratch);
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void Run(const std::string& command) {
    if (std::system(command.c_str()) != 0) {
        throw std::runtime_error(command + " failed");
    }
}

std::string Quote(const std::string& path) {
    return "'" + path + "'";
}

void BM_CopyWalk(benchmark::State& state) {
    Fixture& f = Shared();
    std::string dest = f.scratch + "/walk-copy";
    for (auto _ : state) {
        if (!DfxCopyFolderTree(f.share, "*.*", dest, true, true)) {
            throw std::runtime_error("the copy failed");
        }
        state.PauseTiming();
        fs::remove_all(dest);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CopyWalk)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

void BM_CpR(benchmark::State& state) {
    Fixture& f = Shared();
    std::string dest = f.scratch + "/cp-copy";
    for (auto _ : state) {
        Run("cp -r " + Quote(f.source) + " " + Quote(dest));
        state.PauseTiming();
        fs::remove_all(dest);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CpR)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

void BM_DeleteWalk(benchmark::State& state) {
    Fixture& f = Shared();
    std::string victim = f.lab.Root() + "/machines/PC1/C/Victim";
    for (auto _ : state) {
        state.PauseTiming();
        Run("cp -r " + Quote(f.source) + " " + Quote(victim));
        state.ResumeTiming();
        if (!DfxDeleteFolderTree("\\\\PC1\\C$\\Victim", "*.*", true)) {
            throw std::runtime_error("the delete failed");
        }
    }
}
BENCHMARK(BM_DeleteWalk)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

void BM_RmR(benchmark::State& state) {
    Fixture& f = Shared();
    std::string victim = f.lab.Root() + "/machines/PC1/C/Victim";
    for (auto _ : state) {
        state.PauseTiming();
        Run("cp -r " + Quote(f.source) + " " + Quote(victim));
        state.ResumeTiming();
        Run("rm -r " + Quote(victim));
    }
}
BENCHMARK(BM_RmR)->Unit(benchmark::kMillisecond)->MinTime(5)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
