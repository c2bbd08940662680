#include "LabState.h"

#include "../LabTest.h"
#include "LabText.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace lab {

namespace {

struct FoldedLess {
    bool operator()(const std::string& a, const std::string& b) const {
        return Folded(a) < Folded(b);
    }
};

std::mutex gStateMutex;
std::set<std::string, FoldedLess> gConnections;
std::set<std::string, FoldedLess> gProtectedKeys;
std::set<std::string> gComplaintsPrinted;
std::string gLastComplaint;
std::atomic<int> gRemoteConnects{0};
std::atomic<int> gWinsockFault{0};

struct ExtendedError {
    DWORD code = 0;
    std::string text;
    std::string provider;
};
thread_local ExtendedError tExtended;

} // namespace

void AddConnection(std::string_view machine) {
    std::lock_guard lock(gStateMutex);
    gConnections.emplace(machine);
}

bool RemoveConnection(std::string_view machine) {
    std::lock_guard lock(gStateMutex);
    return gConnections.erase(std::string(machine)) > 0;
}

bool HasConnection(std::string_view machine) {
    std::lock_guard lock(gStateMutex);
    return gConnections.count(std::string(machine)) > 0;
}

DWORD Complain(const std::string& message, DWORD code) {
    std::lock_guard lock(gStateMutex);
    gLastComplaint = message;
    if (gComplaintsPrinted.insert(message).second) {
        std::fprintf(stderr, "quillmark lab: %s\n", message.c_str());
    }
    return code;
}

void CountRemoteConnect() {
    ++gRemoteConnects;
}

bool IsKeyProtected(std::string_view fullPath) {
    std::lock_guard lock(gStateMutex);
    return gProtectedKeys.count(std::string(fullPath)) > 0;
}

int WinsockStartupFault() {
    return gWinsockFault.load();
}

void SetExtendedError(DWORD code, std::string text, std::string provider) {
    tExtended = ExtendedError{code, std::move(text), std::move(provider)};
}

bool GetExtendedError(DWORD& code, std::string& text, std::string& provider) {
    code = tExtended.code;
    text = tExtended.text;
    provider = tExtended.provider;
    return true;
}

void ResetState() {
    std::lock_guard lock(gStateMutex);
    gConnections.clear();
    gProtectedKeys.clear();
    gComplaintsPrinted.clear();
    gLastComplaint.clear();
    gRemoteConnects = 0;
    gWinsockFault = 0;
}

namespace test {

int RemoteConnectCount() {
    return gRemoteConnects.load();
}

void ProtectKey(const std::string& fullPath) {
    std::lock_guard lock(gStateMutex);
    gProtectedKeys.insert(fullPath);
}

void FailWinsockStartup(int code) {
    gWinsockFault = code;
}

std::string LastComplaint() {
    std::lock_guard lock(gStateMutex);
    return gLastComplaint;
}

} // namespace test

} // namespace lab
