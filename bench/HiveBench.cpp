// Reading a large machine hive: the first connection parses the .reg file, later
// ones find it cached.
#include "BenchLab.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

// About 50 MB in about 200,000 keys, shaped like a real HKLM export: class ids
// with their server keys, each with a few values.
std::string LargeHive() {
    std::string out = "REGEDIT4\r\n\r\n";
    out.reserve(52u << 20);
    char buf[512];
    for (int i = 0; i < 100000; ++i) {
        std::snprintf(
            buf, sizeof buf,
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{%08X-1A2B-4C3D-8E9F-%012X}]\r\n"
            "@=\"Component object number %d of the benchmark hive\"\r\n"
            "\"AppID\"=\"{%08X-0000-0000-0000-000000000000}\"\r\n\r\n",
            i, i * 7919, i, i);
        out += buf;
        std::snprintf(
            buf, sizeof buf,
            "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{%08X-1A2B-4C3D-8E9F-%012X}"
            "\\InprocServer32]\r\n"
            "@=hex(2):25,00,53,00,79,00,73,00,74,00,65,00,6d,00,52,00,6f,00,6f,00,74,00,25,\\\r\n"
            "  00,5c,00,73,00,79,00,73,00,74,00,65,00,6d,00,33,00,32,00,5c,00,00,00\r\n"
            "\"ThreadingModel\"=\"Apartment\"\r\n"
            "\"Flags\"=dword:%08x\r\n\r\n",
            i, i * 7919, i);
        out += buf;
    }
    return out;
}

const std::string& Hive() {
    static const std::string hive = LargeHive();
    return hive;
}

void ConnectReadClose() {
    HKEY root = nullptr;
    if (RegConnectRegistryA("\\\\BIGHIVE", HKEY_LOCAL_MACHINE, &root) != ERROR_SUCCESS) {
        throw std::runtime_error("cannot connect");
    }
    HKEY key = nullptr;
    char data[64];
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegOpenKeyExA(
            root,
            "SOFTWARE\\Classes\\CLSID\\{0000C350-1A2B-4C3D-8E9F-00001799B7B0}\\InprocServer32", 0,
            KEY_READ, &key) != ERROR_SUCCESS ||
        RegQueryValueExA(key, "ThreadingModel", nullptr, &type, reinterpret_cast<LPBYTE>(data),
                         &size) != ERROR_SUCCESS) {
        throw std::runtime_error("the value is not there");
    }
    RegCloseKey(key);
    RegCloseKey(root);
}

void BM_FirstConnectionParsesTheHive(benchmark::State& state) {
    bench::BenchLab lab;
    lab.Write("machines/BIGHIVE/HKLM.reg", Hive());
    for (auto _ : state) {
        lab::test::Reset(); // forget the parsed hive: as the first connection of a run
        ConnectReadClose();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Hive().size()));
    state.counters["MB"] = static_cast<double>(Hive().size()) / (1 << 20);
}
BENCHMARK(BM_FirstConnectionParsesTheHive)->Unit(benchmark::kMillisecond)->MinTime(3);

void BM_CachedConnectOpenReadClose(benchmark::State& state) {
    bench::BenchLab lab;
    lab.Write("machines/BIGHIVE/HKLM.reg", Hive());
    ConnectReadClose();
    for (auto _ : state) {
        state.counters["median_us"] = bench::MedianMicroseconds(20000, ConnectReadClose);
    }
}
BENCHMARK(BM_CachedConnectOpenReadClose)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
