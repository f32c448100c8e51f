// The box resampler: a box filter of radius 0.5 applied separately along each axis.
// Along an axis that shrinks, target pixel t covers the source interval [t*N/n, (t+1)*N/n)
// and each source pixel contributes by the length of its overlap with it; measured in units
// of 1/n these overlaps are integers that sum to N, so the average is an exact fraction.
// Along an axis that keeps or grows its size, each target pixel repeats the source pixel
// under its centre. The two passes multiply their integer weights, and the final quotient
// is rounded half to even once, so the result does not depend on the order of the passes.
#include <algorithm>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "imaging/Resampling.h"
#include "imaging/RowSums.h"
#include "support/Errors.h"

namespace pixadra {
namespace {

// Which source pixels make up each target pixel along one axis, and with what weight.
struct AxisWeights {
    std::vector<int32_t> first;     // per target index: first contributing source index
    std::vector<uint32_t> start;    // per target index + 1: range in `weights`
    std::vector<uint32_t> weights;  // consecutive source indices from `first`
    uint64_t total = 1;             // the weights of every target index sum to this

    bool Nearest() const { return total == 1; }
    uint32_t Count(int t) const { return start[t + 1] - start[t]; }
};

AxisWeights MakeAxisWeights(int sourceSize, int targetSize) {
    AxisWeights axis;
    const int64_t N = sourceSize;
    const int64_t n = targetSize;
    axis.first.resize(static_cast<std::size_t>(n));
    axis.start.resize(static_cast<std::size_t>(n) + 1);
    if (n >= N) {
        // Repeat the pixel under the target pixel's centre (t + 1/2) * N / n.
        axis.weights.assign(static_cast<std::size_t>(n), 1);
        for (int64_t t = 0; t < n; ++t) {
            axis.first[t] = static_cast<int32_t>((2 * t + 1) * N / (2 * n));
            axis.start[t] = static_cast<uint32_t>(t);
        }
        axis.start[n] = static_cast<uint32_t>(n);
        axis.total = 1;
        return axis;
    }
    axis.weights.reserve(static_cast<std::size_t>(n + N));
    for (int64_t t = 0; t < n; ++t) {
        const int64_t from = t * N;
        const int64_t to = from + N;
        const int64_t firstSource = from / n;
        const int64_t lastSource = (to - 1) / n;
        axis.first[t] = static_cast<int32_t>(firstSource);
        axis.start[t] = static_cast<uint32_t>(axis.weights.size());
        for (int64_t i = firstSource; i <= lastSource; ++i) {
            const int64_t overlap = std::min(to, (i + 1) * n) - std::max(from, i * n);
            axis.weights.push_back(static_cast<uint32_t>(overlap));
        }
    }
    axis.start[n] = static_cast<uint32_t>(axis.weights.size());
    axis.total = static_cast<uint64_t>(N);
    return axis;
}

// Rounds sum / divisor half to even. Sums stay below 2^40, so the double estimate of the
// quotient is off by at most one and the remainder corrects it exactly.
class RoundedDivider {
  public:
    explicit RoundedDivider(uint64_t divisor)
        : divisor_(static_cast<int64_t>(divisor)), inverse_(1.0 / static_cast<double>(divisor)) {}

    uint8_t operator()(uint64_t sum) const {
        int64_t q = static_cast<int64_t>(static_cast<double>(sum) * inverse_);
        int64_t r = static_cast<int64_t>(sum) - q * divisor_;
        while (r < 0) --q, r += divisor_;
        while (r >= divisor_) ++q, r -= divisor_;
        if (2 * r > divisor_ || (2 * r == divisor_ && (q & 1) != 0)) ++q;
        return static_cast<uint8_t>(q);
    }

  private:
    int64_t divisor_;
    double inverse_;
};

// Blocks of a fixed 16 bytes let the compiler turn the body into vector instructions.
template <typename Acc>
void AddWeightedRow(Acc* __restrict sums, const uint8_t* __restrict row, std::size_t count, uint32_t weight) {
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        for (std::size_t k = 0; k < 16; ++k) sums[i + k] += static_cast<Acc>(row[i + k]) * weight;
    }
    for (; i < count; ++i) sums[i] += static_cast<Acc>(row[i]) * weight;
}

// Rows that lie wholly inside a target row all carry the same weight; they are first added
// up in 16 bits, which is far cheaper than a multiplication per byte, and multiplied once
// when the partial sums are folded in.
template <typename Acc>
void FoldPartialSums(Acc* __restrict sums, uint16_t* __restrict partial, std::size_t count, uint32_t weight) {
    std::size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        for (std::size_t k = 0; k < 16; ++k) {
            sums[i + k] += static_cast<Acc>(partial[i + k]) * weight;
            partial[i + k] = 0;
        }
    }
    for (; i < count; ++i) {
        sums[i] += static_cast<Acc>(partial[i]) * weight;
        partial[i] = 0;
    }
}

// One target row from a source row (uint8_t) or a row of vertical sums, along the x axis.
template <typename In>
void ReduceRow(const In* in, uint8_t* out, const AxisWeights& xAxis, const RoundedDivider& divide,
               int width) {
    const uint32_t* weights = xAxis.weights.data();
    for (int tx = 0; tx < width; ++tx) {
        const In* p = in + static_cast<std::size_t>(xAxis.first[tx]) * 3;
        const uint32_t* w = weights + xAxis.start[tx];
        const uint32_t count = xAxis.Count(tx);
        uint64_t b = 0, g = 0, r = 0;
        for (uint32_t k = 0; k < count; ++k, p += 3) {
            b += static_cast<uint64_t>(p[0]) * w[k];
            g += static_cast<uint64_t>(p[1]) * w[k];
            r += static_cast<uint64_t>(p[2]) * w[k];
        }
        out[0] = divide(b);
        out[1] = divide(g);
        out[2] = divide(r);
        out += 3;
    }
}

void PickRow(const uint8_t* in, uint8_t* out, const AxisWeights& xAxis, int width) {
    for (int tx = 0; tx < width; ++tx, out += 3) {
        const uint8_t* p = in + static_cast<std::size_t>(xAxis.first[tx]) * 3;
        out[0] = p[0];
        out[1] = p[1];
        out[2] = p[2];
    }
}

template <typename Acc>
void ResampleRows(const Bitmap& source, Bitmap& target, const AxisWeights& xAxis, const AxisWeights& yAxis) {
    const int width = target.Width();
    const int height = target.Height();
    const RoundedDivider divide(xAxis.total * yAxis.total);
    const std::size_t sourceStride = source.Stride();
    std::vector<Acc> sums(yAxis.Nearest() ? 0 : sourceStride);
    std::vector<uint16_t> partial(yAxis.Nearest() ? 0 : sourceStride);
    // The weight of a source row wholly inside a target row: its height, n units of 1/n.
    const uint32_t fullWeight = static_cast<uint32_t>(height);
    for (int ty = 0; ty < height; ++ty) {
        uint8_t* out = target.Row(ty);
        const int firstRow = yAxis.first[ty];
        if (yAxis.Nearest()) {
            if (ty > 0 && yAxis.first[ty - 1] == firstRow) {
                std::memcpy(out, target.Row(ty - 1), target.Stride());
            } else if (xAxis.Nearest()) {
                PickRow(source.Row(firstRow), out, xAxis, width);
            } else {
                ReduceRow(source.Row(firstRow), out, xAxis, divide, width);
            }
            continue;
        }
        std::fill(sums.begin(), sums.end(), Acc{0});
        const uint32_t* w = yAxis.weights.data() + yAxis.start[ty];
        const uint32_t count = yAxis.Count(ty);
        int pending = 0;
        for (uint32_t k = 0; k < count; ++k) {
            const uint8_t* row = source.Row(firstRow + static_cast<int>(k));
            if (w[k] != fullWeight) {
                AddWeightedRow(sums.data(), row, sourceStride, w[k]);
                continue;
            }
            AddRowTo16(partial.data(), row, sourceStride);
            if (++pending == kRowsPer16BitSum) {
                FoldPartialSums(sums.data(), partial.data(), sourceStride, fullWeight);
                pending = 0;
            }
        }
        if (pending > 0) FoldPartialSums(sums.data(), partial.data(), sourceStride, fullWeight);
        ReduceRow(sums.data(), out, xAxis, divide, width);
    }
}

}  // namespace

void BoxResample(const Bitmap& source, Bitmap& target, int width, int height) {
    if (width < 1 || height < 1) {
        throw SizeError("Cannot resample a picture to " + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels");
    }
    if (source.Empty()) {
        throw SizeError("Cannot resample an empty picture of " + std::to_string(source.Width()) + " x " +
                        std::to_string(source.Height()) + " pixels");
    }
    if (width == source.Width() && height == source.Height()) {
        if (&source != &target) target = source;
        return;
    }
    const AxisWeights xAxis = MakeAxisWeights(source.Width(), width);
    const AxisWeights yAxis = MakeAxisWeights(source.Height(), height);
    // Built apart so that source and target may be the same bitmap.
    Bitmap result(width, height);
    // A column of vertical sums reaches 255 * source height.
    if (255 * yAxis.total <= std::numeric_limits<uint32_t>::max()) {
        ResampleRows<uint32_t>(source, result, xAxis, yAxis);
    } else {
        ResampleRows<uint64_t>(source, result, xAxis, yAxis);
    }
    target = std::move(result);
}

}  // namespace pixadra
