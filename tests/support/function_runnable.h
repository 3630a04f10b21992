#pragma once

#include <functional>
#include <utility>

#include "mt/current_thread.h"
#include "object/impl.h"

// A runnable made of two functions, for the tests that start threads.
class FunctionRunnable final : public Object::Impl<FunctionRunnable, Mt::Runnable> {
public:
    FunctionRunnable(std::function<void()> initialize, std::function<void()> run)
        : initialize_(std::move(initialize)), run_(std::move(run)) {}

    void Initialize() override { initialize_(); }
    void Run() override { run_(); }

private:
    std::function<void()> initialize_;
    std::function<void()> run_;
};

inline Ref<Mt::Thread> Start(
    std::function<void()> run, std::function<void()> initialize = [] {}) {
    return Mt::GetCurrentThread()->StartThread(
        Object::New<FunctionRunnable>(std::move(initialize), std::move(run)));
}
