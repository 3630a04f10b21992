#pragma once

#include <cstdint>
#include <string_view>

// The named lock that lets one launcher run at a time. The first process to
// take it holds it until the lock object is destroyed or the process ends;
// every later one learns that another instance exists. A lock that cannot be
// made at all counts as no other instance.
//
// Windows: a named mutex (CreateMutexW, ERROR_ALREADY_EXISTS; a mutex that
// exists but may not be opened, ERROR_ACCESS_DENIED, is one of a launcher with
// more rights, and so another instance too). POSIX: flock on
// a file of that name in $XDG_RUNTIME_DIR, else $HOME/.cache, else /tmp (with
// the user id in the name), kept from started programs.
class SingleInstanceLock {
public:
    explicit SingleInstanceLock(std::u16string_view name);
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    bool AnotherInstanceExists() const { return another_instance_; }

private:
    intptr_t handle_ = -1;
    bool another_instance_ = false;
};
