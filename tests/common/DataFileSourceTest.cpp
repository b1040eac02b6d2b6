// Where a data file's bytes come from: the standard input as the shell left
// it, a file another program changes while it is read, the reasons a file
// cannot be opened, and file names and data quoted safely in messages.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "common/FileIO.h"
#include "common/RunReport.h"
#include "support/TempFolder.h"

namespace {

using utm::DataFileReader;
using utm::OperationError;
using utm::test::TempFolder;

/// Everything the reader hands out, block by block.
std::string ReadAll(DataFileReader& reader) {
    std::string all;
    std::string block;
    while (reader.NextBlock(block)) all += block;
    return all;
}

/// Puts `fd` in the place of descriptor 0 for one scope, and the old one back.
class StandardInputFrom {
  public:
    explicit StandardInputFrom(int fd) : saved_(::dup(STDIN_FILENO)) {
        ::dup2(fd, STDIN_FILENO);
        ::close(fd);
    }
    ~StandardInputFrom() {
        ::dup2(saved_, STDIN_FILENO);
        ::close(saved_);
    }
    StandardInputFrom(const StandardInputFrom&) = delete;
    StandardInputFrom& operator=(const StandardInputFrom&) = delete;

  private:
    int saved_;
};

// The standard input is read from where it stands: a file the shell has read
// in part gives the rest (and its size counts from there), a socket gives
// what was sent.
TEST(DataFileSource, TheStandardInputIsReadFromWhereItStands) {
    TempFolder folder;
    const std::string path = folder.Write("pts.csv", "Lat,Long\n27.7,85.3\n27.5,84\n");
    {
        const int fd = ::open(path.c_str(), O_RDONLY);
        ASSERT_EQ(::lseek(fd, 9, SEEK_SET), 9);  // after the header line
        const StandardInputFrom in(fd);
        DataFileReader reader(utm::kStandardInput);
        EXPECT_EQ(reader.Size(), 18u);
        EXPECT_EQ(ReadAll(reader), "27.7,85.3\n27.5,84\n");
        EXPECT_EQ(reader.Done(), 1.0);
    }
    {
        int ends[2];
        ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        ASSERT_EQ(::write(ends[0], "1,2\r\n3,4", 8), 8);
        ::close(ends[0]);
        const StandardInputFrom in(ends[1]);
        DataFileReader reader(utm::kStandardInput);
        EXPECT_EQ(ReadAll(reader), "1,2\r\n3,4");
    }
    {
        // A closed standard input is named as such.
        const int fd = ::open("/dev/null", O_RDONLY);
        const StandardInputFrom in(fd);
        ::close(STDIN_FILENO);
        try {
            DataFileReader reader(utm::kStandardInput);
            FAIL() << "no error";
        } catch (const OperationError& e) {
            EXPECT_STREQ(e.what(), "The standard input cannot be opened: it is closed.");
        }
    }
}

// A file cut short or grown between two blocks is refused, whichever way it
// changed; an unchanged file of the same size is read through.
TEST(DataFileSource, AFileThatChangesSizeWhileReadIsRefused) {
    const std::size_t block = DataFileReader::kBlockSize;
    std::string content;
    while (content.size() < 3 * block) content += "27.7,85.3\n";
    struct Case {
        const char* what;
        std::size_t newSize;  // 0: bytes appended instead
        bool refused;
    };
    const Case cases[] = {
        {"cut inside the block not yet read", 3 * block / 2, true},
        {"cut to where the first block ended", block, true},
        {"cut to nothing", 1, true},
        {"grown", 0, true},
        {"rewritten at the same size", content.size(), false},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string path = folder.Write("pts.csv", content);
        DataFileReader reader(path);
        std::string first;
        ASSERT_TRUE(reader.NextBlock(first));
        if (c.newSize == 0) {
            FILE* f = std::fopen(path.c_str(), "a");
            std::fputs("1,2\n", f);
            std::fclose(f);
        } else {
            ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(c.newSize)), 0);
        }
        try {
            const std::string rest = ReadAll(reader);
            EXPECT_FALSE(c.refused) << c.what;
            EXPECT_EQ(first.size() + rest.size(), content.size()) << c.what;
        } catch (const OperationError& e) {
            EXPECT_TRUE(c.refused) << c.what;
            EXPECT_EQ(std::string(e.what()),
                      "The data file \"" + path +
                          "\" changed while it was read (another program wrote to it or cut it "
                          "short): run again once it is complete.")
                << c.what;
        }
    }
}

// A file that cannot be opened says why.
TEST(DataFileSource, AFileThatCannotBeOpenedSaysWhy) {
    TempFolder folder;
    const std::string plain = folder.Write("plain.csv", "1,2\n");
    const std::string locked = folder.Write("locked.csv", "1,2\n");
    ::chmod(locked.c_str(), 0);
    struct Case {
        std::string path;
        std::string reason;
    };
    std::vector<Case> cases = {
        {folder.File("missing.csv"), "it does not exist"},
        {plain + "/inner.csv", "a part of its path is no folder"},
        {folder.Path(), "it is a folder"},
        {"", "it does not exist"},
    };
    if (::geteuid() != 0) cases.push_back({locked, "you have no permission to read it"});
    for (const Case& c : cases) {
        try {
            DataFileReader reader(c.path);
            ADD_FAILURE() << c.path << " was opened";
        } catch (const OperationError& e) {
            EXPECT_EQ(std::string(e.what()),
                      "The data file \"" + c.path + "\" cannot be opened: " + c.reason + ".");
        }
    }
}

// Control characters from a data file or a file name reach a message
// escaped: nothing in it can drive the terminal it is printed on.
TEST(DataFileSource, ControlCharactersInMessagesAreEscaped) {
    struct Case {
        std::string text;
        std::string escaped;
    };
    const Case cases[] = {
        {"plain 27.7°", "plain 27.7°"},
        {"\x1b[2J\x1b]0;title\x07", "\\x1b[2J\\x1b]0;title\\x07"},
        {std::string("a\0b", 3), "a\\x00b"},
        {"tab\there\r\nnext\x7f", "tab\\x09here\\x0d\\x0anext\\x7f"},
        {"\x1f\x20", "\\x1f "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(utm::EscapeControls(c.text), c.escaped);
        EXPECT_EQ(utm::QuotedText(c.text), "\"" + c.escaped + "\"");
    }
    // An excerpt is cut first, then escaped: the escapes are never cut in two.
    EXPECT_EQ(utm::QuotedExcerpt(std::string(39, 'x') + "\x1b[31m"),
              "\"" + std::string(39, 'x') + "\\x1b…\"");
    // A file name in the reader's messages, and in the findings of a run.
    TempFolder folder;
    const std::string name = folder.File("\x1b[31mred.csv");
    try {
        DataFileReader reader(name);
        FAIL() << "no error";
    } catch (const OperationError& e) {
        EXPECT_EQ(std::string(e.what()).find('\x1b'), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("\\x1b[31mred.csv"), std::string::npos);
    }
    utm::RunReport report;
    report.Add(utm::Finding::NotNumber, 2);
    EXPECT_EQ(report.Text(name).find('\x1b'), std::string::npos);
    EXPECT_EQ(report.Text(utm::kStandardInput).rfind("1 field in the standard input (line 2)", 0),
              0u);
}

}  // namespace
