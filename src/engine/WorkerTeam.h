#pragma once
// A few threads that run one job in parts, the calling thread taking part 0, so the engine can
// spread work over the cores while progress and events stay on the calling thread.
#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>
#include <vector>

namespace pixadra {

class WorkerTeam {
  public:
    // `parts` - 1 threads are started; 1 part means everything runs on the caller.
    explicit WorkerTeam(int parts);
    ~WorkerTeam();
    WorkerTeam(const WorkerTeam&) = delete;
    WorkerTeam& operator=(const WorkerTeam&) = delete;

    int Parts() const { return parts_; }
    // Runs job(0) here and job(1..parts-1) on the threads; returns when all are done. The job
    // must not throw.
    void Run(const std::function<void(int)>& job);

    // Threads worth using on this machine (at least 1).
    static int DefaultParts();

  private:
    void Serve(int part);

    int parts_;
    std::vector<std::thread> threads_;
    const std::function<void(int)>* job_ = nullptr;
    std::atomic<uint64_t> generation_{0};
    std::atomic<int> pending_{0};
    std::atomic<bool> stopping_{false};
};

}  // namespace pixadra
