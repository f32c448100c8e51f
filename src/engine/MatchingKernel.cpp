#include "engine/MatchingKernel.h"

#include <algorithm>
#include <cmath>

#include "engine/WorkerTeam.h"

#if defined(__x86_64__)
// GCC 12's AVX-512 header trips the uninitialized-use warnings on its own "undefined" vectors.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wuninitialized"
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <immintrin.h>
#pragma GCC diagnostic pop
#define PIXADRA_X86_KERNELS 1
#endif

namespace pixadra {
namespace {

constexpr int kLanes = 16;                    // tiles per block
constexpr int kBlockBytes = 16 * 3 * kLanes;  // sub-cells x channels x tiles
constexpr int kMinBlocksPerPart = 48;         // below this a second thread costs more than it saves

// A tile with a single-precision sum above best * (1 + kMargin) cannot reach best in double:
// 16 correctly rounded float roots added in float stay within 16 * 2^-24 (about 1e-6) of the
// true sum, and the double sum within 16 * 2^-53 of it, so 4e-6 leaves a wide safety gap.
constexpr double kMargin = 4e-6;

float Threshold(double best) {
    return static_cast<float>(best * (1.0 + kMargin));
}

// Exact sums of the lanes in `lanes`, added in the plain loop's order.
void ExactPortable(const uint8_t* block, const float* cell, uint32_t lanes, double* sums) {
    for (; lanes != 0; lanes &= lanes - 1) {
        const int lane = __builtin_ctz(lanes);
        double sum = 0.0;
        for (int k = 0; k < 16; ++k) {
            const uint8_t* p = block + k * 3 * kLanes + lane;
            const int dr = p[0] - static_cast<int>(cell[k * 3]);
            const int dg = p[kLanes] - static_cast<int>(cell[k * 3 + 1]);
            const int db = p[2 * kLanes] - static_cast<int>(cell[k * 3 + 2]);
            sum += std::sqrt(static_cast<double>(dr * dr + dg * dg + db * db));
        }
        sums[lane] = sum;
    }
}

#ifdef PIXADRA_X86_KERNELS

// Each group of kernels is compiled for its instruction set and runs only after a processor check.
#pragma GCC push_options
#pragma GCC target("avx512f")

// Squared distances of 16 tiles at sub-cell k as floats; every value is an integer below 2^18,
// so the float arithmetic is exact.
inline __m512 Squares512(const uint8_t* block, const float* cell, int k) {
    const uint8_t* p = block + k * 3 * kLanes;
    auto channel = [&](int ch) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + ch * kLanes));
        return _mm512_sub_ps(_mm512_cvtepi32_ps(_mm512_cvtepu8_epi32(bytes)),
                             _mm512_set1_ps(cell[k * 3 + ch]));
    };
    const __m512 dr = channel(0), dg = channel(1), db = channel(2);
    return _mm512_add_ps(_mm512_add_ps(_mm512_mul_ps(dr, dr), _mm512_mul_ps(dg, dg)), _mm512_mul_ps(db, db));
}

uint32_t Filter512(const uint8_t* block, const float* cell, float threshold) {
    __m512 sum = _mm512_setzero_ps();
    for (int k = 0; k < 16; ++k) sum = _mm512_add_ps(sum, _mm512_sqrt_ps(Squares512(block, cell, k)));
    return _mm512_cmp_ps_mask(sum, _mm512_set1_ps(threshold), _CMP_LE_OQ);
}

void Exact512(const uint8_t* block, const float* cell, uint32_t, double* sums) {
    __m512d low = _mm512_setzero_pd(), high = _mm512_setzero_pd();
    for (int k = 0; k < 16; ++k) {
        const __m512 q = Squares512(block, cell, k);
        const __m256 qLow = _mm512_castps512_ps256(q);
        const __m256 qHigh = _mm256_castpd_ps(_mm512_extractf64x4_pd(_mm512_castps_pd(q), 1));
        low = _mm512_add_pd(low, _mm512_sqrt_pd(_mm512_cvtps_pd(qLow)));
        high = _mm512_add_pd(high, _mm512_sqrt_pd(_mm512_cvtps_pd(qHigh)));
    }
    _mm512_storeu_pd(sums, low);
    _mm512_storeu_pd(sums + 8, high);
}

#pragma GCC pop_options
#pragma GCC push_options
#pragma GCC target("avx2")

// The same with 8 lanes: `half` 0 takes tiles 0..7 of the block, 1 tiles 8..15.
inline __m256 Squares256(const uint8_t* block, const float* cell, int k, int half) {
    const uint8_t* p = block + k * 3 * kLanes + half * 8;
    auto channel = [&](int ch) {
        const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p + ch * kLanes));
        return _mm256_sub_ps(_mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(bytes)),
                             _mm256_set1_ps(cell[k * 3 + ch]));
    };
    const __m256 dr = channel(0), dg = channel(1), db = channel(2);
    return _mm256_add_ps(_mm256_add_ps(_mm256_mul_ps(dr, dr), _mm256_mul_ps(dg, dg)), _mm256_mul_ps(db, db));
}

uint32_t Filter256(const uint8_t* block, const float* cell, float threshold) {
    uint32_t mask = 0;
    for (int half = 0; half < 2; ++half) {
        __m256 sum = _mm256_setzero_ps();
        for (int k = 0; k < 16; ++k)
            sum = _mm256_add_ps(sum, _mm256_sqrt_ps(Squares256(block, cell, k, half)));
        const __m256 pass = _mm256_cmp_ps(sum, _mm256_set1_ps(threshold), _CMP_LE_OQ);
        mask |= static_cast<uint32_t>(_mm256_movemask_ps(pass)) << (8 * half);
    }
    return mask;
}

void Exact256(const uint8_t* block, const float* cell, uint32_t lanes, double* sums) {
    for (int half = 0; half < 2; ++half) {
        if (((lanes >> (8 * half)) & 0xFF) == 0) continue;
        __m256d low = _mm256_setzero_pd(), high = _mm256_setzero_pd();
        for (int k = 0; k < 16; ++k) {
            const __m256 q = Squares256(block, cell, k, half);
            low = _mm256_add_pd(low, _mm256_sqrt_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(q))));
            high = _mm256_add_pd(high, _mm256_sqrt_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(q, 1))));
        }
        _mm256_storeu_pd(sums + 8 * half, low);
        _mm256_storeu_pd(sums + 8 * half + 4, high);
    }
}

#pragma GCC pop_options

#endif  // PIXADRA_X86_KERNELS

template <MatchingKernel K>
FastTileMatcher::Best Search(const uint8_t* colors, const uint16_t* eligible, const float* cell,
                             int32_t firstBlock, int32_t endBlock) {
    FastTileMatcher::Best best;
    [[maybe_unused]] float threshold = Threshold(best.sum);
    alignas(64) double sums[kLanes];
    for (int32_t b = firstBlock; b < endBlock; ++b) {
        uint32_t lanes = eligible[b];
        if (lanes == 0) continue;
        const uint8_t* block = colors + static_cast<std::size_t>(b) * kBlockBytes;
#ifdef PIXADRA_X86_KERNELS
        if constexpr (K == MatchingKernel::Avx512) {
            lanes &= Filter512(block, cell, threshold);
            if (lanes == 0) continue;
            Exact512(block, cell, lanes, sums);
        } else if constexpr (K == MatchingKernel::Avx2) {
            lanes &= Filter256(block, cell, threshold);
            if (lanes == 0) continue;
            Exact256(block, cell, lanes, sums);
        } else
#endif
        {
            ExactPortable(block, cell, lanes, sums);
        }
        // Lanes in ascending order and a strict comparison: the lowest index wins a tie.
        for (; lanes != 0; lanes &= lanes - 1) {
            const int lane = __builtin_ctz(lanes);
            if (sums[lane] < best.sum) {
                best.sum = sums[lane];
                best.index = b * kLanes + lane;
                threshold = Threshold(best.sum);
            }
        }
    }
    return best;
}

MatchingKernel BestKernel() {
    if (MatchingKernelSupported(MatchingKernel::Avx512)) return MatchingKernel::Avx512;
    if (MatchingKernelSupported(MatchingKernel::Avx2)) return MatchingKernel::Avx2;
    return MatchingKernel::Portable;
}

}  // namespace

bool MatchingKernelSupported(MatchingKernel kernel) {
    switch (kernel) {
        case MatchingKernel::Automatic:
        case MatchingKernel::Portable:
            return true;
#ifdef PIXADRA_X86_KERNELS
        case MatchingKernel::Avx2:
            return __builtin_cpu_supports("avx2");
        case MatchingKernel::Avx512:
            return __builtin_cpu_supports("avx512f");
#else
        default:
            return false;
#endif
    }
    return false;
}

FastTileMatcher::FastTileMatcher(LoadedTileList& tiles, int shape, int32_t useLimit, int threads,
                                 MatchingKernel kernel)
    : tiles_(tiles), useLimit_(useLimit) {
    kernel_ = kernel == MatchingKernel::Automatic || !MatchingKernelSupported(kernel) ? BestKernel() : kernel;
    const std::size_t count = tiles.size();
    blocks_ = static_cast<int32_t>((count + kLanes - 1) / kLanes);
    colors_.assign(static_cast<std::size_t>(blocks_) * kBlockBytes, 0);
    eligible_.assign(static_cast<std::size_t>(blocks_), 0);
    for (std::size_t i = 0; i < count; ++i) {
        const TDataBaseTile* tile = tiles[i].get();
        if (tile == nullptr) continue;
        uint8_t* block = colors_.data() + (i / kLanes) * kBlockBytes;
        const int lane = static_cast<int>(i % kLanes);
        const ColorSignature& signature = tile->Signatures[static_cast<std::size_t>(shape)];
        for (int k = 0; k < 16; ++k)
            for (int ch = 0; ch < 3; ++ch)
                block[(k * 3 + ch) * kLanes + lane] = static_cast<uint8_t>(signature[k * 4 + ch] & 0xFF);
        if (tile->UseCount < useLimit) eligible_[i / kLanes] |= static_cast<uint16_t>(1u << lane);
    }

    int parts = threads > 0 ? threads : std::min(WorkerTeam::DefaultParts(), blocks_ / kMinBlocksPerPart);
    parts = std::clamp(parts, 1, std::max(1, blocks_));
    for (int part = 0; part <= parts; ++part)
        partStart_.push_back(static_cast<int32_t>(static_cast<int64_t>(blocks_) * part / parts));
    if (parts > 1) team_ = std::make_unique<WorkerTeam>(parts);
}

FastTileMatcher::~FastTileMatcher() = default;

FastTileMatcher::Best FastTileMatcher::SearchBlocks(const float* cell, int32_t firstBlock,
                                                    int32_t endBlock) const {
    switch (kernel_) {
        case MatchingKernel::Avx512:
            return Search<MatchingKernel::Avx512>(colors_.data(), eligible_.data(), cell, firstBlock,
                                                  endBlock);
        case MatchingKernel::Avx2:
            return Search<MatchingKernel::Avx2>(colors_.data(), eligible_.data(), cell, firstBlock, endBlock);
        default:
            return Search<MatchingKernel::Portable>(colors_.data(), eligible_.data(), cell, firstBlock,
                                                    endBlock);
    }
}

void FastTileMatcher::Match(TTile& cell) {
    alignas(64) float colors[48];
    for (int k = 0; k < 16; ++k)
        for (int ch = 0; ch < 3; ++ch)
            colors[k * 3 + ch] = static_cast<float>(cell.Signature[k * 4 + ch] & 0xFF);

    Best best;
    if (!team_) {
        best = SearchBlocks(colors, 0, blocks_);
    } else {
        std::vector<Best> found(static_cast<std::size_t>(team_->Parts()));
        team_->Run(
            [&](int part) { found[part] = SearchBlocks(colors, partStart_[part], partStart_[part + 1]); });
        // Parts cover ascending index ranges: the first part with the smallest sum holds the lowest index.
        for (const Best& candidate : found)
            if (candidate.index >= 0 && candidate.sum < best.sum) best = candidate;
    }

    cell.Found = false;
    if (best.index < 0) return;
    TDataBaseTile& tile = *tiles_[static_cast<std::size_t>(best.index)];
    cell.Found = true;
    cell.TileIndex = best.index;
    cell.Source = tile.Source;
    cell.DataBaseName = tile.DataBaseName;
    cell.DataOffset = tile.DataOffset;
    cell.DataSize = tile.DataSize;
    if (++tile.UseCount >= useLimit_)
        eligible_[best.index / kLanes] &= static_cast<uint16_t>(~(1u << (best.index % kLanes)));
}

}  // namespace pixadra
