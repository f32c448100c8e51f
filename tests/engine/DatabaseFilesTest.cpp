#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "common/TestSupport.h"
#include "engine/DatabaseFiles.h"
#include "engine/IndexBytes.h"
#include "support/Errors.h"
#include "support/SystemInfo.h"

namespace pixadra {
namespace {

using testing::HandHeader;
using testing::HandRecord;
using testing::HandSignature;
using testing::ReadFileText;
using testing::TempFolder;
using testing::WriteFile;

PackedSignature Packed(uint8_t base) {
    PackedSignature packed{};
    for (int i = 0; i < 48; ++i) packed[i] = static_cast<uint8_t>(base + i);
    return packed;
}

IndexRecord SampleRecord(const std::string& source, const std::string& fileName) {
    IndexRecord record;
    record.SquareSignature = Packed(0);
    record.LandscapeSignature = Packed(100);
    record.PortraitSignature = Packed(200);
    record.Source = source;
    record.FileName = fileName;
    return record;
}

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

double CreatedOf(const std::string& index) {
    double created = 0;
    std::memcpy(&created, index.data() + 22, 8);
    return created;
}

TEST(IndexFormat, HeaderIsThirtyBytesAsSpelledOut) {
    const std::vector<uint8_t> header = EncodeIndexHeader(45123.75);
    EXPECT_EQ(header, Bytes(HandHeader(1, 1, 45123.75)));
    EXPECT_TRUE(IsValidIndexHeader(header.data(), header.size()));
}

TEST(IndexFormat, HeaderChecks) {
    struct Case {
        const char* what;
        std::string bytes;
        bool magic;
        bool valid;
    };
    std::string lowerMagic = HandHeader();
    lowerMagic[1] = 'm';
    std::string wrongLength = HandHeader();
    wrongLength[0] = 12;
    const Case cases[] = {
        {"current", HandHeader(1, 1, 1.0), true, true},
        {"Version1 2", HandHeader(2, 1), true, false},
        {"Version2 2", HandHeader(1, 2), true, false},
        {"lower-case letter", lowerMagic, false, false},
        {"length byte 12", wrongLength, false, false},
        {"cut after the magic", HandHeader().substr(0, 14), true, false},
        {"cut inside the magic", HandHeader().substr(0, 10), false, false},
        {"empty", "", false, false},
    };
    for (const Case& c : cases) {
        const auto* p = reinterpret_cast<const uint8_t*>(c.bytes.data());
        EXPECT_EQ(HasIndexMagic(p, c.bytes.size()), c.magic) << c.what;
        EXPECT_EQ(IsValidIndexHeader(p, c.bytes.size()), c.valid) << c.what;
    }
}

TEST(IndexFormat, RecordFieldsAtTheirOffsets) {
    IndexRecord record = SampleRecord("Holiday at sea", "/pictures/beach.jpg");
    record.DataOffset = 123456;
    record.DataSize = 7890;
    const std::string expected = HandRecord(123456, 7890, HandSignature(0), HandSignature(100),
                                            HandSignature(200), "Holiday at sea", "/pictures/beach.jpg");
    ASSERT_EQ(expected.size(), 562u);
    EXPECT_EQ(EncodeIndexRecord(record), Bytes(expected));

    const IndexRecord back = DecodeIndexRecord(reinterpret_cast<const uint8_t*>(expected.data()));
    EXPECT_EQ(back.DataOffset, 123456);
    EXPECT_EQ(back.DataSize, 7890);
    EXPECT_EQ(back.SquareSignature, Packed(0));
    EXPECT_EQ(back.LandscapeSignature, Packed(100));
    EXPECT_EQ(back.PortraitSignature, Packed(200));
    EXPECT_EQ(back.Source, "Holiday at sea");
    EXPECT_EQ(back.FileName, "/pictures/beach.jpg");
}

TEST(IndexFormat, OffsetsAreWrittenAsSignExtendedThirtyTwoBitValues) {
    struct Case {
        int64_t value;
        uint64_t stored;
    };
    const Case cases[] = {
        {0, 0},
        {2147483647, 0x7FFFFFFFull},
        {2147483648, 0xFFFFFFFF80000000ull},  // only the low 32 bits survive
        {int64_t{0x100000010}, 0x10},         // high half dropped
        {-1, 0xFFFFFFFFFFFFFFFFull},
    };
    for (const Case& c : cases) {
        IndexRecord record;
        record.DataOffset = c.value;
        record.DataSize = c.value;
        const std::vector<uint8_t> bytes = EncodeIndexRecord(record);
        uint64_t offset = 0, size = 0;
        for (int i = 7; i >= 0; --i) {
            offset = (offset << 8) | bytes[i];
            size = (size << 8) | bytes[8 + i];
        }
        EXPECT_EQ(offset, c.stored) << c.value;
        EXPECT_EQ(size, c.stored) << c.value;
    }
}

TEST(IndexFormat, LongTextsAreCutToTwoHundredBytesWithoutSplittingACharacter) {
    const std::string a199(199, 'a');
    const std::string umlaut = "\xC3\xA4";  // ä, two bytes
    struct Case {
        const char* what;
        std::string text;
        std::string stored;
    };
    const Case cases[] = {
        {"200 bytes", std::string(200, 'x'), std::string(200, 'x')},
        {"201 bytes", std::string(201, 'x'), std::string(200, 'x')},
        {"character across the limit", a199 + umlaut + "b", a199},
        {"character ending at the limit", std::string(198, 'a') + umlaut + "b",
         std::string(198, 'a') + umlaut},
        {"not UTF-8: cut at the byte", std::string(199, 'a') + "\xE4\xE4", std::string(199, 'a') + "\xE4"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        const IndexRecord record = SampleRecord(c.text, c.text);
        const std::vector<uint8_t> bytes = EncodeIndexRecord(record);
        const std::string expected =
            HandRecord(0, 0, HandSignature(0), HandSignature(100), HandSignature(200), c.stored, c.stored);
        EXPECT_EQ(bytes, Bytes(expected)) << c.what;
    }
}

TEST(IndexFormat, DamagedLengthByteStaysInsideItsField) {
    std::string bytes =
        HandRecord(0, 0, HandSignature(0), HandSignature(100), HandSignature(200), "src", "name");
    bytes[160] = static_cast<char>(255);
    bytes[361] = static_cast<char>(201);
    const IndexRecord record = DecodeIndexRecord(reinterpret_cast<const uint8_t*>(bytes.data()));
    EXPECT_EQ(record.Source.size(), 200u);
    EXPECT_EQ(record.Source.substr(0, 3), "src");
    EXPECT_EQ(record.FileName.size(), 200u);
}

TEST(AppendTile, FirstTilesCreateBothFilesByteForByte) {
    TempFolder folder;
    const std::string db = folder.File("Tiles");
    const double before = LocalDateTimeAsDays();
    AppendTile(db, Bytes("JPEG-ONE"), SampleRecord("first source", "/p/one.jpg"));
    const double after = LocalDateTimeAsDays();

    const std::string firstIndex = ReadFileText(db + ".idx");
    ASSERT_EQ(firstIndex.size(), 30u + 562u);
    EXPECT_GE(CreatedOf(firstIndex), before - 1e-6);
    EXPECT_LE(CreatedOf(firstIndex), after + 1e-6);
    const std::string header = HandHeader(1, 1, CreatedOf(firstIndex));
    const std::string record0 = HandRecord(0, 8, HandSignature(0), HandSignature(100), HandSignature(200),
                                           "first source", "/p/one.jpg");
    EXPECT_EQ(firstIndex, header + record0);

    AppendTile(db, Bytes("JPEG-TWO!!"), SampleRecord("", "/p/two.png"));
    const std::string record1 =
        HandRecord(8, 10, HandSignature(0), HandSignature(100), HandSignature(200), "", "/p/two.png");
    EXPECT_EQ(ReadFileText(db + ".idx"), header + record0 + record1);  // no second header
    EXPECT_EQ(ReadFileText(db + ".dat"), "JPEG-ONEJPEG-TWO!!");
}

TEST(AppendTile, AnExistingIndexNeverGetsAHeaderAfterwards) {
    TempFolder folder;
    const std::string db = folder.File("old");
    const std::string oldIndex(40, 'o');
    WriteFile(db + ".idx", oldIndex);
    WriteFile(db + ".dat", "xyz");
    AppendTile(db, Bytes("J"), SampleRecord("s", "f"));
    EXPECT_EQ(ReadFileText(db + ".idx"), oldIndex + HandRecord(3, 1, HandSignature(0), HandSignature(100),
                                                               HandSignature(200), "s", "f"));
}

TEST(AppendTile, RefusesATileThatWouldCarryTheDataFilePastTwoGigabytes) {
    struct Case {
        int64_t existing;
        std::size_t tile;
        bool accepted;
    };
    const Case cases[] = {
        {kMaxDataFileSize - 10, 10, true},
        {kMaxDataFileSize - 10, 11, false},
        {kMaxDataFileSize, 1, false},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string db = folder.File("Big");
        {
            // A sparse file: the size is what counts, not the blocks.
            const int fd = ::open((db + ".dat").c_str(), O_WRONLY | O_CREAT, 0644);
            ASSERT_GE(fd, 0);
            ASSERT_EQ(::ftruncate(fd, c.existing), 0);
            ::close(fd);
        }
        const std::vector<uint8_t> jpeg(c.tile, 0xAB);
        if (c.accepted) {
            AppendTile(db, jpeg, SampleRecord("s", "f"));
            EXPECT_EQ(FileSize(db + ".dat"), c.existing + static_cast<int64_t>(c.tile));
            EXPECT_EQ(FileSize(db + ".idx"), 30 + 562);
        } else {
            try {
                AppendTile(db, jpeg, SampleRecord("s", "f"));
                ADD_FAILURE() << "accepted a tile at " << c.existing;
            } catch (const SizeError& e) {
                EXPECT_NE(std::string(e.what()).find("\"Big\""), std::string::npos) << e.what();
            }
            EXPECT_EQ(FileSize(db + ".dat"), c.existing);
            EXPECT_FALSE(FileExists(db + ".idx"));
        }
    }
}

TEST(AppendTile, ASecondWriterGetsAClearErrorAndChangesNothing) {
    TempFolder folder;
    const std::string db = folder.File("Shared");
    AppendTile(db, Bytes("first"), SampleRecord("s", "f"));
    const std::string index = ReadFileText(db + ".idx");
    {
        // flock locks belong to the open file description, so this holder conflicts like
        // another process would.
        LockedFile holder(db + ".dat");
        try {
            AppendTile(db, Bytes("second"), SampleRecord("s", "g"));
            ADD_FAILURE() << "appended while the data file was locked";
        } catch (const FileError& e) {
            EXPECT_NE(std::string(e.what()).find("another process"), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(ReadFileText(db + ".dat"), "first");
    EXPECT_EQ(ReadFileText(db + ".idx"), index);

    // A writer in another process.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        LockedFile holder(db + ".dat");
        char c = 1;
        (void)!::write(ready[1], &c, 1);
        ::sleep(2);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    EXPECT_THROW(AppendTile(db, Bytes("third"), SampleRecord("s", "h")), FileError);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(ReadFileText(db + ".dat"), "first");
    AppendTile(db, Bytes("fourth"), SampleRecord("s", "i"));  // free again
    EXPECT_EQ(ReadFileText(db + ".dat"), "firstfourth");
}

TEST(ReadTileJpeg, ReadsInsideTheFileAndRefusesEverythingElse) {
    TempFolder folder;
    const std::string db = folder.File("Read");
    WriteFile(db + ".dat", "0123456789");
    struct Case {
        int32_t offset;
        int32_t size;
        const char* bytes;  // null: refused
    };
    const Case cases[] = {
        {0, 10, "0123456789"}, {3, 4, "3456"},   {10, 0, ""},      {9, 2, nullptr},
        {-1, 2, nullptr},      {2, -1, nullptr}, {11, 0, nullptr}, {2147483647, 1, nullptr},
    };
    for (const Case& c : cases) {
        if (c.bytes) {
            EXPECT_EQ(ReadTileJpeg(db, c.offset, c.size), Bytes(c.bytes)) << c.offset << "," << c.size;
            continue;
        }
        try {
            ReadTileJpeg(db, c.offset, c.size);
            ADD_FAILURE() << "read " << c.offset << "," << c.size;
        } catch (const FileError& e) {
            const std::string message = e.what();
            EXPECT_NE(message.find("\"Read\""), std::string::npos) << message;
            EXPECT_NE(message.find(std::to_string(c.offset)), std::string::npos) << message;
        }
    }
}

TEST(AppendTile, AFailedIndexWriteTakesBackItsPartialRecord) {
    TempFolder folder;
    const std::string db = folder.File("Full");
    AppendTile(db, Bytes("first"), SampleRecord("s", "f"));
    const std::string index = ReadFileText(db + ".idx");
    // A child whose files may not grow past 700 bytes: the JPEG fits, the record does not.
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{700, 700};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            AppendTile(db, Bytes("second"), SampleRecord("s", "g"));
        } catch (const FileError&) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(ReadFileText(db + ".idx"), index);
    // The next tile's record lands where it belongs.
    AppendTile(db, Bytes("third"), SampleRecord("s", "h"));
    EXPECT_EQ(ReadFileText(db + ".idx").size(), 30u + 2 * 562u);
    EXPECT_EQ(ReadFileText(db + ".idx").substr(30 + 562, 16),
              HandRecord(11, 5, "", "", "", "", "").substr(0, 16));
}

TEST(DecodeTile, BrokenStreamNamesTheDatabaseAndTheTile) {
    TempFolder folder;
    const std::string db = folder.File("Broken");
    WriteFile(db + ".dat", "0123456789 not a JPEG stream");
    try {
        DecodeTile(db, 4, 20);
        ADD_FAILURE() << "decoded garbage";
    } catch (const DecodeError& e) {
        const std::string message = e.what();
        EXPECT_NE(message.find("\"Broken\""), std::string::npos) << message;
        EXPECT_NE(message.find("offset 4"), std::string::npos) << message;
    }
    EXPECT_THROW(DecodeTile(db, 20, 20), FileError);
}

TEST(ReadTileJpeg, MissingDataFileIsAnErrorAndCreatesNothing) {
    TempFolder folder;
    EXPECT_THROW(ReadTileJpeg(folder.File("Gone"), 0, 1), FileError);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(ListDataBases, SortsValidAndOldDatabasesApart) {
    TempFolder folder;
    const std::string valid = HandHeader();
    struct Entry {
        const char* name;
        std::string index;  // empty with dat=false...: see flags
        bool hasIndex;
        bool hasData;
    };
    const Entry entries[] = {
        {"gamma", valid, true, true},
        {"alpha", valid + std::string(562 * 2 + 100, 'r'), true, true},
        {"Beta", valid, true, true},
        {"version2", HandHeader(1, 2), true, true},
        {"version1", HandHeader(2, 1), true, true},
        {"short", valid.substr(0, 20), true, true},
        {"empty", "", true, true},
        {"Zulu", std::string(30, 'z'), true, true},
        {"dataOnly", "", false, true},
        {"indexOnly", valid, true, false},
    };
    for (const Entry& e : entries) {
        if (e.hasIndex) WriteFile(folder.File(std::string(e.name) + ".idx"), e.index);
        if (e.hasData) WriteFile(folder.File(std::string(e.name) + ".dat"), "d");
    }
    WriteFile(folder.File("notes.txt"), "x");
    std::filesystem::create_directory(folder.File("folder.dat"));

    std::vector<std::string> validList{"stale"}, oldList{"stale"};
    ListDataBases(folder.Path().substr(0, folder.Path().size() - 1), &validList, &oldList);
    EXPECT_EQ(validList, (std::vector<std::string>{"alpha", "Beta", "gamma"}));
    EXPECT_EQ(oldList, (std::vector<std::string>{"empty", "short", "version1", "version2", "Zulu"}));

    std::vector<std::string> onlyValid;
    ListDataBases(folder.Path(), &onlyValid, nullptr);
    EXPECT_EQ(onlyValid, validList);
    std::vector<std::string> onlyOld;
    ListDataBases(folder.Path(), nullptr, &onlyOld);
    EXPECT_EQ(onlyOld, oldList);
}

TEST(ListDataBases, MissingFolderGivesEmptyLists) {
    std::vector<std::string> valid{"x"}, old{"y"};
    ListDataBases("/nonexistent-pixadra-folder/", &valid, &old);
    EXPECT_TRUE(valid.empty());
    EXPECT_TRUE(old.empty());
}

TEST(SortStrings, CaseInsensitiveAscending) {
    struct Case {
        std::vector<std::string> input;
        std::vector<std::string> sorted;
    };
    const Case cases[] = {
        {{"gamma", "Beta", "alpha"}, {"alpha", "Beta", "gamma"}},
        {{"b", "B", "a", "A"}, {"A", "a", "B", "b"}},  // equal ignoring case: byte order decides
        {{"Tiles 10", "tiles 1", "Tiles 2"}, {"tiles 1", "Tiles 10", "Tiles 2"}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> list = c.input;
        SortStrings(list);
        EXPECT_EQ(list, c.sorted);
    }
}

TEST(CleanDataBaseName, DropsOnlyTheNineForbiddenCharacters) {
    struct Case {
        const char* name;
        const char* clean;
    };
    const Case cases[] = {
        {"My Tiles v1.2", "My Tiles v1.2"},
        {"a\\b/c:d*e?f\"g<h>i|j", "abcdefghij"},
        {"\\/:*?\"<>|", ""},
        {"  spaced . dots  ", "  spaced . dots  "},
        {"Fotos \xC3\xA4lter", "Fotos \xC3\xA4lter"},
    };
    for (const Case& c : cases) EXPECT_EQ(CleanDataBaseName(c.name), c.clean) << c.name;
}

}  // namespace
}  // namespace pixadra
