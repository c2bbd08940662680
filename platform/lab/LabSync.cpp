// Named locks across the threads and the processes of this computer: one
// process-wide lock object per name, backed by an flock()ed file named after it.
#include "../WinApi.h"
#include "LabHandles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

using namespace lab;

namespace {

// One named lock of this process. Like a Windows mutex it belongs to a thread
// and may be taken again by that thread.
struct NamedLock {
    std::mutex m;
    std::condition_variable released;
    std::thread::id owner;
    int depth = 0;
    int fd = -1; // the lock file, flock()ed while a thread of this process owns the lock
};

// Made on first use and never destroyed: locks may still be used by objects
// that are destroyed after main() returns.
std::mutex& LocksMutex() {
    static auto* m = new std::mutex;
    return *m;
}
std::map<std::string, std::shared_ptr<NamedLock>>& Locks() {
    static auto* locks = new std::map<std::string, std::shared_ptr<NamedLock>>;
    return *locks;
}

struct MutexHandle final : LabObject {
    explicit MutexHandle(std::shared_ptr<NamedLock> l)
        : LabObject(Kind::Mutex), lock(std::move(l)) {}
    std::shared_ptr<NamedLock> lock;
};

std::string LockFolder() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string base = runtime != nullptr && *runtime != '\0' ? runtime : "/tmp";
    std::string dir = base + "/quillmark-locks-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    return dir;
}

// A file name for a lock name: "/" and "%" written as %2F and %25.
std::string LockFileName(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '/') {
            out += "%2F";
        } else if (c == '%') {
            out += "%25";
        } else {
            out.push_back(c);
        }
    }
    return out.size() > 200 ? out.substr(out.size() - 200) : out;
}

} // namespace

HANDLE WINAPI CreateMutexA(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCSTR lpName) {
    std::shared_ptr<NamedLock> lock;
    if (lpName == nullptr || *lpName == '\0') {
        lock = std::make_shared<NamedLock>(); // unnamed: this process only
    } else {
        std::lock_guard guard(LocksMutex());
        auto& slot = Locks()[lpName];
        if (!slot) {
            auto fresh = std::make_shared<NamedLock>();
            std::string file = LockFolder() + "/" + LockFileName(lpName);
            fresh->fd = open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            if (fresh->fd < 0) {
                Locks().erase(lpName);
                SetLastError(ERROR_ACCESS_DENIED);
                return nullptr;
            }
            slot = fresh;
        }
        lock = slot;
    }
    HANDLE h = AddHandle(std::make_unique<MutexHandle>(lock));
    if (bInitialOwner) {
        WaitForSingleObject(h, INFINITE);
    }
    SetLastError(0);
    return h;
}

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    auto* handle = Find<MutexHandle>(hHandle, LabObject::Kind::Mutex);
    if (handle == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::shared_ptr<NamedLock> lock = handle->lock;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(dwMilliseconds);
    bool forever = dwMilliseconds == INFINITE;
    std::unique_lock guard(lock->m);
    auto me = std::this_thread::get_id();
    if (lock->depth > 0 && lock->owner == me) {
        ++lock->depth;
        return WAIT_OBJECT_0;
    }
    auto free = [&] { return lock->depth == 0; };
    if (forever) {
        lock->released.wait(guard, free);
    } else if (!lock->released.wait_until(guard, deadline, free)) {
        return WAIT_TIMEOUT;
    }
    // Ours within this process; other processes are held off by the file lock.
    lock->owner = me;
    lock->depth = 1;
    guard.unlock();
    if (lock->fd >= 0) {
        while (flock(lock->fd, LOCK_EX | LOCK_NB) != 0) {
            if (!forever && std::chrono::steady_clock::now() >= deadline) {
                guard.lock();
                lock->owner = {};
                lock->depth = 0;
                lock->released.notify_one();
                return WAIT_TIMEOUT;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return WAIT_OBJECT_0;
}

BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
    auto* handle = Find<MutexHandle>(hMutex, LabObject::Kind::Mutex);
    if (handle == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::shared_ptr<NamedLock> lock = handle->lock;
    std::lock_guard guard(lock->m);
    if (lock->depth == 0 || lock->owner != std::this_thread::get_id()) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--lock->depth == 0) {
        lock->owner = {};
        if (lock->fd >= 0) {
            flock(lock->fd, LOCK_UN);
        }
        lock->released.notify_one();
    }
    return TRUE;
}

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (RemoveHandle(hObject, LabObject::Kind::File) ||
        RemoveHandle(hObject, LabObject::Kind::Mutex)) {
        return TRUE;
    }
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
}
