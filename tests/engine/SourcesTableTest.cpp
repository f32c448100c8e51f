#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "engine/SourcesTable.h"
#include "engine/TileGrid.h"
#include "support/Errors.h"
#include "support/FileSystem.h"
#include "support/Language.h"

namespace pixadra {
namespace {

// Sources given row by row; cells with an empty text have no tile.
void MakeGrid(const std::vector<std::vector<std::string>>& rows) {
    const std::size_t columns = rows.empty() ? 0 : rows.front().size();
    TheCellGrid().assign(columns, std::vector<TTile>(rows.size()));
    for (std::size_t r = 0; r < rows.size(); ++r)
        for (std::size_t c = 0; c < columns; ++c) {
            TTile& cell = TheCellGrid()[c][r];
            cell.Source = rows[r][c];
            cell.Found = !cell.Source.empty();
        }
}

class SourcesTableTest : public ::testing::Test {
  protected:
    void TearDown() override { TheCellGrid().clear(); }
    testing::TempFolder folder;
};

TEST_F(SourcesTableTest, LinesAreRowsAndFieldsAreColumnsWithoutQuoting) {
    struct Case {
        const char* what;
        std::vector<std::vector<std::string>> rows;
        std::string expected;
    };
    const Case cases[] = {
        {"cell (1, 0) without tile",
         {{"a.jpg", "", "a.jpg"}, {"a.jpg", "a.jpg", "a.jpg"}},
         "a.jpg;;a.jpg\r\na.jpg;a.jpg;a.jpg\r\n"},
        {"leading cells without tile", {{"", "", "c.png", "d"}}, ";;c.png;d\r\n"},
        {"one column", {{"x"}, {""}, {"z"}}, "x\r\n\r\nz\r\n"},
        {"separator and quotes kept", {{"a;b", "say \"hi\""}}, "a;b;say \"hi\"\r\n"},
        {"no cells", {}, ""},
        {"bytes as held",
         {{"/bilder/\xE4pfel.jpg", "Gr\xC3\xBC\xC3\x9F"}},
         "/bilder/\xE4pfel.jpg;Gr\xC3\xBC\xC3\x9F\r\n"},
    };
    for (const Case& c : cases) {
        MakeGrid(c.rows);
        const std::string path = folder.File("table.csv");
        CreateSourcesTable(path, {});
        EXPECT_EQ(testing::ReadFileText(path), c.expected) << c.what;
    }
}

TEST_F(SourcesTableTest, ReplacesAnEarlierTableAndKeepsItWhenWritingFails) {
    const std::string path = folder.File("mosaic.bmp.source.csv");
    testing::WriteFile(path, "old table, longer than the new one\r\n");
    MakeGrid({{"n"}});
    CreateSourcesTable(path);
    EXPECT_EQ(testing::ReadFileText(path), "n\r\n");

    EXPECT_THROW(CreateSourcesTable(folder.File("missing/folder.csv")), FileError);
    EXPECT_EQ(ListFolder(folder.Path()).files, std::vector<std::string>{"mosaic.bmp.source.csv"});
}

TEST_F(SourcesTableTest, ProgressCountsCellsRowByRow) {
    MakeGrid({{"a", "b", "c"}, {"d", "e", "f"}});
    testing::ProgressRecorder recorder;
    CreateSourcesTable(folder.File("t.csv"), recorder.Outputs());
    // k = r * 3 + c + 1 of 6 cells: Trunc(k / 0.06).
    EXPECT_EQ(recorder.positions, (std::vector<int>{0, 16, 33, 50, 66, 83, 100, 0}));
    EXPECT_EQ(recorder.labels, (std::vector<std::string>{GetLanguageWord("GaugeMessages", "CreateCSV"), ""}));
}

}  // namespace
}  // namespace pixadra
