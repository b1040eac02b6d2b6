// The one data-file reader and the block engine: exact bytes in, whole lines
// out, refusals of what is no text, and findings with the lines of the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "common/RunReport.h"
#include "support/TempFolder.h"

namespace {

using utm::DataFileReader;
using utm::Finding;
using utm::OperationError;
using utm::RunReport;
using utm::test::TempFolder;

/// Every line of the file as the reader hands them out, through the blocks.
std::vector<std::string> Lines(const std::string& path) {
    DataFileReader reader(path);
    std::vector<std::string> lines;
    std::string block;
    while (reader.NextBlock(block)) {
        utm::ForEachLine(block,
                         [&](std::string_view line, std::size_t) { lines.emplace_back(line); });
    }
    return lines;
}

/// The message of the OperationError that reading the whole file throws.
std::string Refusal(const std::string& path) {
    try {
        Lines(path);
    } catch (const OperationError& e) {
        return e.what();
    }
    return "<no error>";
}

using L = std::vector<std::string>;

TEST(DataFileReader, LineEndsByteOrderMarkAndEmptyLines) {
    TempFolder folder;
    EXPECT_EQ(Lines(folder.Write("a", "1,2\r\n3,4\n5,6\r7,8")), (L{"1,2", "3,4", "5,6", "7,8"}));
    EXPECT_EQ(Lines(folder.Write("b",
                                 "\xef\xbb\xbf"
                                 "27.7,85.3\r\n")),
              (L{"27.7,85.3"}));
    EXPECT_EQ(Lines(folder.Write("c", "a\r\n\r\n\n\rb")), (L{"a", "", "", "", "b"}));
    EXPECT_EQ(Lines(folder.Write("d", "")), L{});
    EXPECT_EQ(Lines(folder.Write("e", "\xef\xbb\xbf")), L{});
    // A byte-order mark elsewhere than at the start is data, not skipped.
    EXPECT_EQ(Lines(folder.Write("f",
                                 "1\r\n\xef\xbb\xbf"
                                 "2")),
              (L{"1",
                 "\xef\xbb\xbf"
                 "2"}));
}

TEST(DataFileReader, BlocksEndOnWholeLinesWhateverTheLineEnds) {
    // Lines of varied length and ends across many blocks: joined again they
    // give every line exactly once, and no CR LF is split between blocks.
    TempFolder folder;
    std::string bytes;
    L expected;
    const char* ends[] = {"\r\n", "\r", "\n"};
    for (std::size_t i = 0; bytes.size() < 3 * DataFileReader::kBlockSize + 12345; ++i) {
        std::string line = std::to_string(i) + "," + std::string(i % 97, '7');
        bytes += line + ends[i % 3];
        expected.push_back(line);
    }
    const std::string path = folder.Write("big.csv", bytes);
    EXPECT_EQ(Lines(path), expected);

    DataFileReader reader(path);
    std::string block;
    std::size_t blocks = 0;
    while (reader.NextBlock(block)) {
        ++blocks;
        EXPECT_LE(block.size(), DataFileReader::kBlockSize);
        const char last = block.back();
        EXPECT_TRUE(last == '\n' || last == '\r' || reader.Consumed() == bytes.size());
    }
    EXPECT_EQ(blocks, 4u);
    EXPECT_EQ(reader.Done(), 1.0);
}

TEST(DataFileReader, WhatIsNoTextFileOfNumbersIsRefusedByName) {
    TempFolder folder;
    const std::string utf16 = folder.Write("u16.csv", std::string("\xff\xfe"
                                                                  "2\0"
                                                                  "7\0",
                                                                  6));
    EXPECT_EQ(Refusal(utf16), "The data file \"" + utf16 +
                                  "\" is not a text file of numbers: it is UTF-16 text (save it "
                                  "as UTF-8 or plain text).");
    const std::string utf16be = folder.Write("be.csv", std::string("\xfe\xff\0"
                                                                   "2",
                                                                   4));
    EXPECT_NE(Refusal(utf16be).find("is not a text file of numbers"), std::string::npos);
    // UTF-16 without a mark, and binary data: NUL bytes.
    const std::string bare = folder.Write("bare.csv", std::string("2\0"
                                                                  "7\0"
                                                                  ",\0",
                                                                  6));
    EXPECT_NE(Refusal(bare).find("\"" + bare + "\" is not a text file of numbers: it holds NUL"),
              std::string::npos);
    // A NUL far into the file, after whole blocks of good lines.
    std::string late(2 * DataFileReader::kBlockSize, '\n');
    late += std::string("1,2\0", 4);
    EXPECT_NE(Refusal(folder.Write("late.csv", late)).find("NUL"), std::string::npos);
    // A line without end longer than the reader takes.
    const std::string endless =
        folder.Write("endless.csv", std::string(DataFileReader::kMaxLineLength + 10, '7'));
    EXPECT_NE(Refusal(endless).find("has a line longer than"), std::string::npos);
    EXPECT_EQ(Refusal("/dev/zero").find("The data file \"/dev/zero\" is not a text file"), 0u);
    EXPECT_NE(Refusal(folder.Path()).find("it is a folder"), std::string::npos);
    EXPECT_EQ(Refusal(folder.File("missing.csv")), "The data file \"" + folder.File("missing.csv") +
                                                       "\" cannot be opened: it does not exist.");
}

TEST(DataFileReader, ReadsAPipeAsItComes) {
    TempFolder folder;
    const std::string fifo = folder.File("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::thread writer([&] {
        FILE* f = std::fopen(fifo.c_str(), "w");
        for (int i = 0; i < 3; ++i) {
            std::fprintf(f, "%d,%d\r\n", i, i + 1);
            std::fflush(f);
        }
        std::fclose(f);
    });
    EXPECT_EQ(Lines(fifo), (L{"0,1", "1,2", "2,3"}));
    writer.join();
}

TEST(SplitFields, CountsEveryFieldAndKeepsTheFirst) {
    std::string_view f[2];
    EXPECT_EQ(utm::SplitFields("27.7,85.3", ',', f, 2), 2u);
    EXPECT_EQ(f[0], "27.7");
    EXPECT_EQ(f[1], "85.3");
    EXPECT_EQ(utm::SplitFields("27.7,85.3,", ',', f, 2), 3u);
    EXPECT_EQ(utm::SplitFields("", ',', f, 2), 1u);
    EXPECT_EQ(f[0], "");
    EXPECT_EQ(utm::SplitFields("a\tb\tc\td", '\t', f, 2), 4u);
    EXPECT_EQ(f[1], "b");
}

TEST(RunReport, CountsByKindKeepsFirstLinesAndSaysWhereInOneSentenceEach) {
    RunReport report;
    report.Add(Finding::NotNumber, 1);
    report.Add(Finding::NotNumber, 1);  // two fields of line 1 name it once
    for (std::size_t line : {4, 9, 12, 15, 20}) report.Add(Finding::NotNumber, line);
    report.Add(Finding::LatitudeRange, 7);
    EXPECT_EQ(report.Count(Finding::NotNumber), 7u);
    EXPECT_EQ(report.Lines(Finding::NotNumber), (std::vector<std::size_t>{1, 4, 9, 12, 15}));
    EXPECT_EQ(report.Text("pts.csv"),
              "7 fields in the data file \"pts.csv\" (lines 1, 4, 9, 12, 15, …) are not "
              "numbers: they were taken as 0.\n"
              "1 point in the data file \"pts.csv\" (line 7) has a latitude outside -90 to 90 "
              "degrees: such a result means nothing on the Earth.");
    EXPECT_TRUE(RunReport().Empty());
    EXPECT_EQ(RunReport().Text("x"), "");
}

TEST(RunReport, MergedBlocksCountLinesOfTheFile) {
    RunReport whole;
    RunReport first;
    first.Add(Finding::FieldCount, 3);
    RunReport second;
    second.Add(Finding::FieldCount, 1);
    second.Add(Finding::FieldCount, 2);
    whole.Merge(first, 0);
    whole.Merge(second, 10);
    EXPECT_EQ(whole.Lines(Finding::FieldCount), (std::vector<std::size_t>{3, 11, 12}));
    EXPECT_EQ(whole.Count(Finding::FieldCount), 3u);
    EXPECT_FALSE(whole.MoreLines(Finding::FieldCount));
}

TEST(RunBlocks, OutputKeepsFileOrderAndLinesCountAcrossBlocks) {
    // Blocks go two at a time to two threads; the output and the line numbers
    // must come out as if one thread had read the file from the start.
    TempFolder folder;
    std::string bytes;
    std::string expected;
    for (std::size_t i = 1; bytes.size() < 5 * DataFileReader::kBlockSize; ++i) {
        const std::string line = i % 50000 == 0 ? "bad" : std::to_string(i);
        bytes += line + "\r\n";
        expected += line + ";";
    }
    DataFileReader reader(folder.Write("lines.txt", bytes));
    std::string written;
    RunReport report;
    std::vector<double> progress;
    const std::size_t lines = utm::RunBlocks(
        reader,
        [](std::string_view block, utm::BlockOutput& out) {
            out.lines = utm::ForEachLine(block, [&](std::string_view line, std::size_t number) {
                out.bytes.Append(line);
                out.bytes.Append(";");
                if (line == "bad") out.report.Add(Finding::NotNumber, number);
            });
        },
        [&](std::string_view bytes) { written.append(bytes); }, report,
        [&](double done) {
            progress.push_back(done);
            return true;
        });
    EXPECT_TRUE(written == expected);
    EXPECT_EQ(lines, static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')));
    EXPECT_EQ(report.Lines(Finding::NotNumber).front(), 50000u);
    EXPECT_EQ(report.Lines(Finding::NotNumber)[1], 100000u);
    ASSERT_FALSE(progress.empty());
    EXPECT_EQ(progress.back(), 1.0);
}

TEST(RunBlocks, AFailingLineIsNamedByItsLineInTheFileAndCancelStops) {
    TempFolder folder;
    std::string bytes;
    for (std::size_t i = 1; i <= 400000; ++i) {
        bytes += i == 300000 ? 'x' : '1';
        bytes += '\n';
    }
    const std::string path = folder.Write("lines.txt", bytes);
    const utm::BlockWork work = [](std::string_view block, utm::BlockOutput& out) {
        out.lines = utm::ForEachLine(block, [](std::string_view line, std::size_t number) {
            if (line == "x") throw utm::LineError(number, "bad line");
        });
    };
    RunReport report;
    try {
        DataFileReader reader(path);
        utm::RunBlocks(reader, work, [](std::string_view) {}, report, {});
        ADD_FAILURE() << "no error";
    } catch (const utm::LineError& e) {
        EXPECT_EQ(e.line(), 300000u);
    }
    DataFileReader reader(path);
    EXPECT_THROW(utm::RunBlocks(
                     reader, [](std::string_view, utm::BlockOutput&) {}, [](std::string_view) {},
                     report, [](double) { return false; }),
                 utm::OperationCancelled);
}

}  // namespace

// Block output grows while lines are written into it and keeps every byte,
// also when a room larger than all written so far is asked for.
TEST(OutputBytes, KeepsWhatWasWrittenAcrossGrowth) {
    utm::OutputBytes out;
    std::string expected;
    for (int i = 0; i < 30000; ++i) {
        const std::string line = std::to_string(i * 7919) + "\r\n";
        char* p = out.Room(64);
        std::memcpy(p, line.data(), line.size());
        out.Written(p + line.size());
        expected += line;
        if (i == 20000) {
            // A big room, partly used: the rest stays unwritten.
            char* q = out.Room(1 << 20);
            std::memset(q, 'x', 10);
            out.Written(q + 10);
            expected += std::string(10, 'x');
        }
    }
    out.Append("end");
    expected += "end";
    EXPECT_TRUE(out.View() == expected);
    out.Clear();
    EXPECT_TRUE(out.View().empty());
    out.Append("again");
    EXPECT_EQ(out.View(), "again");
}
