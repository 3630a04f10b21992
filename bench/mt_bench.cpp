// The threads service beside the standard library: the interrupt check that
// every caught error is followed by, a thread-slot read against a plain
// thread_local, and an event handed back and forth between two threads (an
// auto-reset event blocker, eventfd and poll underneath) against a mutex and
// condition variable doing the same.
#include <benchmark/benchmark.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "mt/blocker.h"
#include "mt/current_thread.h"
#include "object/manager.h"
#include "object/system.h"

namespace {

thread_local bool t_interrupted = false;
thread_local int t_slot = 1;

void BM_CheckInterrupt(benchmark::State& state) {
    for (auto _ : state) {
        Mt::CheckInterrupt();
    }
}

void BM_CheckInterruptOfHeldService(benchmark::State& state) {
    Ref<Mt::CurrentThread> current = Mt::GetCurrentThread();
    for (auto _ : state) {
        current->CheckInterrupt();
    }
}

void BM_ThreadLocalFlag(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(t_interrupted);
    }
}

void BM_GetSlot(benchmark::State& state) {
    Ref<Mt::CurrentThread> current = Mt::GetCurrentThread();
    const BaseString slot(u"TID_Bench::Slot");
    current->SetSlot(slot, Value(1));
    for (auto _ : state) {
        benchmark::DoNotOptimize(current->GetSlot(slot));
    }
    current->SetSlot(slot, Value());
}

void BM_ThreadLocalValue(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(t_slot);
    }
}

void BM_EventPingPong(benchmark::State& state) {
    auto events = Object::Create<Mt::Win32::EventFactory>(BaseString(Mt::kEventFactoryClsid));
    Ref<Mt::EventBasedBlocker> ping = events->CreateEvent(false, false);
    Ref<Mt::EventBasedBlocker> pong = events->CreateEvent(false, false);
    std::atomic<bool> done{false};
    std::thread partner([&] {
        for (;;) {
            ping->Wait();
            if (done) {
                return;
            }
            pong->Set();
        }
    });
    for (auto _ : state) {
        ping->Set();
        pong->Wait();
    }
    done = true;
    ping->Set();
    partner.join();
}

void BM_ConditionVariablePingPong(benchmark::State& state) {
    std::mutex mutex;
    std::condition_variable changed;
    int turn = 0;  // 1: the partner's, 2: ours, 3: stop
    std::thread partner([&] {
        std::unique_lock lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return turn == 1 || turn == 3; });
            if (turn == 3) {
                return;
            }
            turn = 2;
            changed.notify_all();
        }
    });
    for (auto _ : state) {
        std::unique_lock lock(mutex);
        turn = 1;
        changed.notify_all();
        changed.wait(lock, [&] { return turn == 2; });
    }
    {
        std::lock_guard lock(mutex);
        turn = 3;
    }
    changed.notify_all();
    partner.join();
}

BENCHMARK(BM_CheckInterrupt);
BENCHMARK(BM_CheckInterruptOfHeldService);
BENCHMARK(BM_ThreadLocalFlag);
BENCHMARK(BM_GetSlot);
BENCHMARK(BM_ThreadLocalValue);
BENCHMARK(BM_EventPingPong)->UseRealTime();
BENCHMARK(BM_ConditionVariablePingPong)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    Object::ModuleStart();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
