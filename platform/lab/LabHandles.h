// HANDLE values of the lab: each is a live object of one kind, checked on every use.
#pragma once

#include "../WinApi.h"

#include <memory>

namespace lab {

class LabObject {
public:
    enum class Kind { File, Mutex, Find, Enum };
    explicit LabObject(Kind kind) : kind_(kind) {}
    virtual ~LabObject() = default;
    LabObject(const LabObject&) = delete;
    LabObject& operator=(const LabObject&) = delete;
    Kind GetKind() const { return kind_; }

private:
    Kind kind_;
};

HANDLE AddHandle(std::unique_ptr<LabObject> object);
// The live object of that kind behind `handle`, or nullptr. The caller must not
// use it after another thread may have closed the handle (the program never does).
LabObject* FindHandle(HANDLE handle, LabObject::Kind kind);
template <class T>
T* Find(HANDLE handle, LabObject::Kind kind) {
    return static_cast<T*>(FindHandle(handle, kind));
}
bool RemoveHandle(HANDLE handle, LabObject::Kind kind);

} // namespace lab
