#include "LabMemo.h"

#include <atomic>
#include <chrono>

namespace lab {

namespace {

constexpr auto kFresh = std::chrono::milliseconds(1);

std::atomic<uint64_t> gChanges{0};

struct Seen {
    std::string key;
    uint64_t changes = ~uint64_t(0);
    std::chrono::steady_clock::time_point at;
};

struct SeenStat : Seen {
    struct stat st {};
};

struct SeenListing : Seen {
    std::vector<WIN32_FIND_DATAA> entries;
};

thread_local SeenStat tStat;
thread_local SeenListing tListing;

bool Current(const Seen& seen, const std::string& key) {
    return seen.changes == gChanges.load(std::memory_order_acquire) && seen.key == key &&
           std::chrono::steady_clock::now() - seen.at < kFresh;
}

void Mark(Seen& seen, const std::string& key) {
    seen.key = key;
    seen.changes = gChanges.load(std::memory_order_acquire);
    seen.at = std::chrono::steady_clock::now();
}

} // namespace

void NoteChange() {
    gChanges.fetch_add(1, std::memory_order_acq_rel);
}

bool RecallStat(const std::string& path, struct stat& st) {
    if (!Current(tStat, path)) {
        return false;
    }
    st = tStat.st;
    return true;
}

void RememberStat(const std::string& path, const struct stat& st) {
    Mark(tStat, path);
    tStat.st = st;
}

bool RecallListing(const std::string& search, std::vector<WIN32_FIND_DATAA>& entries) {
    if (!Current(tListing, search)) {
        return false;
    }
    entries = tListing.entries;
    return true;
}

void RememberListing(const std::string& search, const std::vector<WIN32_FIND_DATAA>& entries) {
    Mark(tListing, search);
    tListing.entries = entries;
}

} // namespace lab
