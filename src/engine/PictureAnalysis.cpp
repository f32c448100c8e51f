// The colour signature of every cell of the input picture. The picture is walked row by row
// (sums do not depend on the order in which pixels are added), which reads memory in order.
#include <algorithm>
#include <string>
#include <vector>

#include "engine/TileGrid.h"
#include "imaging/RowSums.h"
#include "support/Errors.h"
#include "support/Language.h"
#include "support/Rounding.h"

namespace pixadra {
namespace {

// First offset of each quarter inside a cell of `size` pixels, plus `size` at the end. An
// offset l lies in quarter k (0-based) when k * size / 4 <= l < (k + 1) * size / 4, which in
// integers is k * size <= 4 * l < (k + 1) * size: quarter k starts at ceil(k * size / 4).
struct QuarterBounds {
    int64_t start[5];
    explicit QuarterBounds(int64_t size) {
        for (int k = 0; k <= 4; ++k) start[k] = (k * size + 3) / 4;
    }
    int64_t Length(int k) const { return start[k + 1] - start[k]; }
};

// Channel sums of one band of cells: [column][sub-column][sub-row][blue, green, red].
class BandSums {
  public:
    explicit BandSums(int columns) : sums_(static_cast<std::size_t>(columns) * 48) {}
    void Clear() { std::fill(sums_.begin(), sums_.end(), 0); }
    int64_t* At(int column, int subColumn, int subRow) {
        return sums_.data() + static_cast<std::size_t>(column) * 48 + subColumn * 12 + subRow * 3;
    }

  private:
    std::vector<int64_t> sums_;
};

// Adds a row of column sums (blue, green, red per pixel) into the sub-row's cells, one run
// of pixels per cell and sub-column, and clears it for the next rows.
void AddColumnSums(uint16_t* columnSums, int columns, int64_t cellWidth, const QuarterBounds& quarters,
                   int subRow, BandSums& sums) {
    for (int c = 0; c < columns; ++c) {
        const uint16_t* cell = columnSums + c * cellWidth * 3;
        for (int sc = 0; sc < 4; ++sc) {
            const uint16_t* p = cell + quarters.start[sc] * 3;
            const uint16_t* end = cell + quarters.start[sc + 1] * 3;
            int64_t blue = 0, green = 0, red = 0;
            for (; p != end; p += 3) {
                blue += p[0];
                green += p[1];
                red += p[2];
            }
            int64_t* s = sums.At(c, sc, subRow);
            s[0] += blue;
            s[1] += green;
            s[2] += red;
        }
    }
    std::fill(columnSums, columnSums + columns * cellWidth * 3, uint16_t{0});
}

ColorSignature MeansOf(BandSums& sums, int column, const QuarterBounds& xq, const QuarterBounds& yq) {
    ColorSignature signature{};
    for (int sc = 0; sc < 4; ++sc) {
        for (int sr = 0; sr < 4; ++sr) {
            const int64_t count = xq.Length(sc) * yq.Length(sr);
            if (count == 0) continue;
            const int64_t* s = sums.At(column, sc, sr);
            signature[SignatureIndex(sc, sr, 0)] = static_cast<int32_t>(s[2] / count);
            signature[SignatureIndex(sc, sr, 1)] = static_cast<int32_t>(s[1] / count);
            signature[SignatureIndex(sc, sr, 2)] = static_cast<int32_t>(s[0] / count);
            signature[SignatureIndex(sc, sr, 3)] = static_cast<int32_t>(count);
        }
    }
    return signature;
}

}  // namespace

void AnalysePicture(const Bitmap& picture, int64_t tileCount, int shape, const Progress& progress) {
    const GridSize size = CalcTileGrid(picture.Width(), picture.Height(), tileCount, shape);
    if (size.Columns <= 0 || size.Rows <= 0) {
        throw SizeError("The picture of " + std::to_string(picture.Width()) + " x " +
                        std::to_string(picture.Height()) + " pixels is too small for " +
                        std::to_string(tileCount) + " tiles");
    }
    const int columns = size.Columns;
    const int rows = size.Rows;
    const int64_t cellWidth = picture.Width() / columns;
    const int64_t cellHeight = picture.Height() / rows;
    const int64_t cellCount = int64_t{columns} * rows;
    const QuarterBounds xq(cellWidth);
    const QuarterBounds yq(cellHeight);

    progress.Begin(progress.Both()
                       ? FormatLanguageWord("GaugeMessages", "AnalysePicture", {std::to_string(cellCount)})
                       : std::string());
    CellGrid& grid = TheCellGrid();
    grid = CellGrid();
    grid.assign(static_cast<std::size_t>(columns), std::vector<TTile>(static_cast<std::size_t>(rows)));

    // The rows of one sub-row are first added column by column (a vector loop), then the
    // column sums are split into the cells' runs once.
    const std::size_t usedBytes = static_cast<std::size_t>(columns * cellWidth * 3);
    std::vector<uint16_t> columnSums(usedBytes, 0);
    BandSums sums(columns);
    for (int r = 0; r < rows; ++r) {
        sums.Clear();
        for (int sr = 0; sr < 4; ++sr) {
            int pending = 0;
            for (int64_t ly = yq.start[sr]; ly < yq.start[sr + 1]; ++ly) {
                AddRowTo16(columnSums.data(), picture.Row(static_cast<int>(r * cellHeight + ly)), usedBytes);
                if (++pending == kRowsPer16BitSum) {
                    AddColumnSums(columnSums.data(), columns, cellWidth, xq, sr, sums);
                    pending = 0;
                }
            }
            if (pending > 0) AddColumnSums(columnSums.data(), columns, cellWidth, xq, sr, sums);
        }
        for (int c = 0; c < columns; ++c) grid[c][r].Signature = MeansOf(sums, c, xq, yq);
        // The share of cells finished, as a column-by-column visit counts it.
        const int64_t finished = int64_t{r + 1} * columns;
        progress.Update(static_cast<int>(Trunc(finished / (static_cast<long double>(cellCount) / 100))));
    }
    progress.End();
}

}  // namespace pixadra
