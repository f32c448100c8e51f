#include "engine/WorkerTeam.h"

#include <algorithm>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace pixadra {
namespace {

// Rounds are short (tens of microseconds), so a brief spin saves the sleep and wake-up of a
// futex wait; after it the thread sleeps so that other processes get the core.
constexpr int kSpinRounds = 200;

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

template <typename T, typename Pred>
void WaitUntil(const std::atomic<T>& value, Pred done) {
    for (int i = 0; i < kSpinRounds; ++i) {
        if (done(value.load(std::memory_order_acquire))) return;
        CpuRelax();
    }
    for (;;) {
        const T seen = value.load(std::memory_order_acquire);
        if (done(seen)) return;
        value.wait(seen, std::memory_order_acquire);
    }
}

}  // namespace

WorkerTeam::WorkerTeam(int parts) : parts_(std::max(1, parts)) {
    threads_.reserve(static_cast<std::size_t>(parts_ - 1));
    for (int part = 1; part < parts_; ++part) threads_.emplace_back([this, part] { Serve(part); });
}

WorkerTeam::~WorkerTeam() {
    stopping_.store(true, std::memory_order_release);
    generation_.fetch_add(1, std::memory_order_acq_rel);
    generation_.notify_all();
    for (auto& thread : threads_) thread.join();
}

int WorkerTeam::DefaultParts() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp(cores, 1u, 16u));
}

void WorkerTeam::Run(const std::function<void(int)>& job) {
    if (parts_ == 1) {
        job(0);
        return;
    }
    job_ = &job;
    pending_.store(parts_ - 1, std::memory_order_release);
    generation_.fetch_add(1, std::memory_order_acq_rel);
    generation_.notify_all();
    job(0);
    WaitUntil(pending_, [](int left) { return left == 0; });
}

void WorkerTeam::Serve(int part) {
    uint64_t seen = 0;
    for (;;) {
        WaitUntil(generation_, [seen](uint64_t g) { return g != seen; });
        seen = generation_.load(std::memory_order_acquire);
        if (stopping_.load(std::memory_order_acquire)) return;
        (*job_)(part);
        if (pending_.fetch_sub(1, std::memory_order_acq_rel) == 1) pending_.notify_one();
    }
}

}  // namespace pixadra
