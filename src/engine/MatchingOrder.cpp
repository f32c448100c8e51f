#include "engine/MatchingOrder.h"

#include <chrono>
#include <utility>

namespace pixadra {

int64_t MatchRandom::Random(int64_t n) {
    if (n <= 0) return 0;
    const uint64_t range = static_cast<uint64_t>(n);
    unsigned __int128 product = static_cast<unsigned __int128>(engine_()) * range;
    uint64_t low = static_cast<uint64_t>(product);
    if (low < range) {
        // Reject the few products that would favour small results.
        const uint64_t threshold = (0 - range) % range;
        while (low < threshold) {
            product = static_cast<unsigned __int128>(engine_()) * range;
            low = static_cast<uint64_t>(product);
        }
    }
    return static_cast<int64_t>(product >> 64);
}

uint64_t ClockSeed() {
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

namespace {

// A list of cell numbers as an implicit treap: inserting or removing at a position costs
// O(log n) instead of shifting the entries behind it. Nodes are the cell numbers themselves.
class PositionList {
  public:
    explicit PositionList(int32_t capacity)
        : left_(capacity, kNone), right_(capacity, kNone), size_(capacity, 1), priority_(capacity) {
        // Priorities only shape the tree, never the order, so a fixed generator is fine.
        uint64_t state = 0x9E3779B97F4A7C15ull;
        for (auto& p : priority_) {
            state += 0x9E3779B97F4A7C15ull;
            uint64_t z = state;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            p = static_cast<uint32_t>(z >> 32);
        }
    }

    void Insert(int32_t position, int32_t node) {
        auto [before, after] = Split(root_, position);
        root_ = Merge(Merge(before, node), after);
    }

    int32_t Remove(int32_t position) {
        auto [before, rest] = Split(root_, position);
        auto [node, after] = Split(rest, 1);
        root_ = Merge(before, after);
        return node;
    }

    std::vector<int32_t> InOrder() const {
        std::vector<int32_t> out;
        out.reserve(left_.size());
        std::vector<int32_t> stack;
        int32_t node = root_;
        while (node != kNone || !stack.empty()) {
            while (node != kNone) {
                stack.push_back(node);
                node = left_[node];
            }
            node = stack.back();
            stack.pop_back();
            out.push_back(node);
            node = right_[node];
        }
        return out;
    }

  private:
    static constexpr int32_t kNone = -1;

    int32_t Size(int32_t node) const { return node == kNone ? 0 : size_[node]; }
    void Update(int32_t node) { size_[node] = 1 + Size(left_[node]) + Size(right_[node]); }

    // The first `count` entries of the tree, and the rest.
    std::pair<int32_t, int32_t> Split(int32_t node, int32_t count) {
        if (node == kNone) return {kNone, kNone};
        if (Size(left_[node]) >= count) {
            auto [a, b] = Split(left_[node], count);
            left_[node] = b;
            Update(node);
            return {a, node};
        }
        auto [a, b] = Split(right_[node], count - Size(left_[node]) - 1);
        right_[node] = a;
        Update(node);
        return {node, b};
    }

    int32_t Merge(int32_t a, int32_t b) {
        if (a == kNone) return b;
        if (b == kNone) return a;
        if (priority_[a] > priority_[b]) {
            right_[a] = Merge(right_[a], b);
            Update(a);
            return a;
        }
        left_[b] = Merge(a, left_[b]);
        Update(b);
        return b;
    }

    std::vector<int32_t> left_, right_, size_;
    std::vector<uint32_t> priority_;
    int32_t root_ = kNone;
};

}  // namespace

std::vector<int32_t> MatchingOrder(int32_t cellCount, MatchRandom& random) {
    if (cellCount <= 0) return {};
    PositionList list(cellCount);
    for (int32_t cell = 0; cell < cellCount; ++cell) {
        const int32_t position = cell == 0 ? 0 : static_cast<int32_t>(random.Random(cell - 1));
        list.Insert(position, cell);
    }
    for (int32_t i = 0; i < cellCount; ++i) {
        const int32_t target = static_cast<int32_t>(random.Random(cellCount - 1));
        list.Insert(target, list.Remove(i));
    }
    return list.InOrder();
}

}  // namespace pixadra
