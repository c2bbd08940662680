// Resolving the logged-on user's Favorites folder: four registry connections and
// up to three account look-ups per machine, with the machines' hives already parsed.
#include "BenchLab.h"

#include "engine/RegistryDfx.h"
#include "engine/ShellFolderDfx.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

constexpr int kMachines = 1000;

std::string Name(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "PC%04d", i);
    return buf;
}

std::string Sid(int i) {
    return "S-1-5-21-1844237615-1256008271-3217446829-" + std::to_string(2000 + i);
}

struct Network {
    bench::BenchLab lab;
    Network() {
        std::string machines;
        std::string accounts;
        for (int i = 0; i < kMachines; ++i) {
            std::string user = "user" + std::to_string(i);
            machines += (i ? ", \"" : "\"") + Name(i) + "\"";
            accounts += std::string(i ? ",\n" : "") + "{\"domain\": \"NORTHWIND\", \"name\": \"" +
                        user + "\", \"sid\": \"" + Sid(i) + "\"}";
            std::string hklm =
                "REGEDIT4\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion]\r\n"
                "\"SystemRoot\"=\"C:\\\\WINDOWS\"\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                "NT\\CurrentVersion\\Winlogon]\r\n"
                "\"DefaultUserName\"=\"" +
                user +
                "\"\r\n\"DefaultDomainName\"=\"NORTHWIND\"\r\n\r\n"
                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows "
                "NT\\CurrentVersion\\ProfileList\\" +
                Sid(i) +
                "]\r\n"
                "\"ProfileImagePath\"=\"C:\\\\Documents and Settings\\\\" +
                user + "\"\r\n\r\n";
            std::string hku =
                "REGEDIT4\r\n\r\n[HKEY_USERS\\.DEFAULT]\r\n\r\n[HKEY_USERS\\S-1-5-18]\r\n\r\n"
                "[HKEY_USERS\\" +
                Sid(i) +
                "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders]\r\n"
                "\"Favorites\"=\"C:\\\\Documents and Settings\\\\" +
                user +
                "\\\\Favorites\"\r\n\r\n"
                "[HKEY_USERS\\" +
                Sid(i) + "_Classes]\r\n\r\n";
            lab.Write("machines/" + Name(i) + "/HKLM.reg", hklm);
            lab.Write("machines/" + Name(i) + "/HKU.reg", hku);
            lab.Write("machines/" + Name(i) + "/C/Documents and Settings/" + user +
                          "/Favorites/a.url",
                      "x");
        }
        lab.Write("network.json", "{\"localMachine\": \"ADMINPC\", \"providers\": [{\"name\": "
                                  "\"Microsoft Windows Network\", "
                                  "\"domains\": [{\"name\": \"NORTHWIND\", \"machines\": [" +
                                      machines +
                                      "]}]}],\n"
                                      "\"accounts\": [" +
                                      accounts + "]}\n");
        InitLocalMachineName();
        for (int i = 0; i < kMachines; ++i) {
            Resolve(i); // parses every hive once
        }
    }
    static void Resolve(int i) {
        std::string path;
        if (!DfxGetShellFolderPath(Name(i), DFX_FAVORITES_FOLDER, path)) {
            throw std::runtime_error("cannot resolve " + Name(i));
        }
    }
};

Network& Shared() {
    static Network network;
    return network;
}

void BM_ResolveFavoritesOfOneMachine(benchmark::State& state) {
    Shared();
    for (auto _ : state) {
        state.counters["median_us"] =
            bench::MedianMicroseconds(5000, [] { Network::Resolve(500); });
    }
}
BENCHMARK(BM_ResolveFavoritesOfOneMachine)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ResolveFavoritesOf1000Machines(benchmark::State& state) {
    Shared();
    for (auto _ : state) {
        for (int i = 0; i < kMachines; ++i) {
            Network::Resolve(i);
        }
    }
}
BENCHMARK(BM_ResolveFavoritesOf1000Machines)->Unit(benchmark::kMillisecond)->MinTime(3);

} // namespace

BENCHMARK_MAIN();
