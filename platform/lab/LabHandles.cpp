#include "LabHandles.h"

#include "../LabTest.h"

#include <mutex>
#include <unordered_map>

namespace lab {

namespace {
// Made on first use and never destroyed: handles may still be closed by
// objects that are destroyed after main() returns.
std::mutex& HandleMutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::unordered_map<HANDLE, std::unique_ptr<LabObject>>& Objects() {
    static auto* objects = new std::unordered_map<HANDLE, std::unique_ptr<LabObject>>;
    return *objects;
}
} // namespace

HANDLE AddHandle(std::unique_ptr<LabObject> object) {
    HANDLE handle = object.get();
    std::lock_guard lock(HandleMutex());
    Objects().emplace(handle, std::move(object));
    return handle;
}

LabObject* FindHandle(HANDLE handle, LabObject::Kind kind) {
    std::lock_guard lock(HandleMutex());
    auto it = Objects().find(handle);
    return it != Objects().end() && it->second->GetKind() == kind ? it->second.get() : nullptr;
}

bool RemoveHandle(HANDLE handle, LabObject::Kind kind) {
    std::unique_ptr<LabObject> doomed; // destroyed outside the lock
    {
        std::lock_guard lock(HandleMutex());
        auto it = Objects().find(handle);
        if (it == Objects().end() || it->second->GetKind() != kind) {
            return false;
        }
        doomed = std::move(it->second);
        Objects().erase(it);
    }
    return true;
}

namespace test {

int OpenHandleCount() {
    std::lock_guard lock(HandleMutex());
    return static_cast<int>(Objects().size());
}

} // namespace test

} // namespace lab
