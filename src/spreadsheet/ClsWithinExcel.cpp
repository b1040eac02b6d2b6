#include "spreadsheet/ClsWithinExcel.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "geodesy/ArithmeticError.h"
#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/SelectionDialogue.h"

namespace utm {

namespace {

[[noreturn]] void ThrowErrno(const std::string& what) {
    throw std::system_error(errno, std::generic_category(), what);
}

// Deletes the exchange file when it goes out of scope, errors included.
class FileRemover {
  public:
    explicit FileRemover(std::string path) : path_(std::move(path)) {}
    ~FileRemover() { ::unlink(path_.c_str()); }
    FileRemover(const FileRemover&) = delete;
    FileRemover& operator=(const FileRemover&) = delete;

  private:
    std::string path_;
};

/// The fields of one line of the exchange file, split at its tabs.
std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields(SplitFields(line, '\t', nullptr, 0));
    SplitFields(line, '\t', fields.data(), fields.size());
    return fields;
}

/// The lines of the exchange file, read through the data-file reader.
std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    try {
        DataFileReader reader(path, "The exchange file");
        std::string block;
        while (reader.NextBlock(block)) {
            ForEachLine(block,
                        [&](std::string_view line, std::size_t) { lines.emplace_back(line); });
        }
    } catch (const OperationError& e) {
        throw std::runtime_error(e.what());
    }
    return lines;
}

}  // namespace

std::string DefaultTempFolder() {
    const char* folder = std::getenv("TMPDIR");
    return folder && *folder ? folder : "/tmp";
}

std::string WriteExchangeFile(const std::string& folder, std::string_view text) {
    std::string contents(text);
    if (contents.size() < 2 || contents.compare(contents.size() - 2, 2, "\r\n") != 0) {
        contents += "\r\n";
    }
    contents += "\r\n";

    std::string path = folder + "/utm-exchange-XXXXXX";
    int fd = ::mkstemp(path.data());  // O_CREAT | O_EXCL, mode 0600
    if (fd < 0) ThrowErrno("cannot create an exchange file in " + folder);
    std::size_t written = 0;
    while (written < contents.size()) {
        ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int saved = errno;
            ::close(fd);
            ::unlink(path.c_str());
            errno = saved;
            ThrowErrno("cannot write the exchange file " + path);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::close(fd) != 0) {
        int saved = errno;
        ::unlink(path.c_str());
        errno = saved;
        ThrowErrno("cannot write the exchange file " + path);
    }
    return path;
}

CellTexts ReadExchangeFile(const std::string& path) {
    FileRemover remover(path);
    const std::vector<std::string> lines = ReadLines(path);
    // The last line is the empty line after the block.
    const std::size_t n = lines.empty() ? 0 : lines.size() - 1;
    std::size_t columnUpper = 0;
    if (!lines.empty() && !lines.front().empty()) columnUpper = SplitTabs(lines.front()).size() - 1;

    CellTexts block(n, std::vector<std::optional<std::string>>(columnUpper + 1));
    for (std::size_t j = 0; j < n; ++j) {
        if (lines[j].empty()) continue;
        std::vector<std::string_view> fields = SplitTabs(lines[j]);
        for (std::size_t i = 0; i <= columnUpper && i < fields.size(); ++i) {
            block[j][i] = std::string(fields[i]);
        }
    }
    return block;
}

bool ClsWithinExcel::ConnectExcel() {
    Sheet.reset();
    try {
        if (!App.BindRunning()) {
            box_.Inform(kExcelNotOpened);
            App.StartNew();
        }
        Sheet = App.ActiveSheet();
        return true;
    } catch (const SpreadsheetError& error) {
        ShowProblem(box_, error.what());
        return false;
    }
}

std::string ClsWithinExcel::AskForRange(const std::string& prompt) {
    return RunSelectionDialogue(App, box_, prompt).value_or("");
}

std::string ClsWithinExcel::CopyRangeToTempFile(const CellBlock& block) {
    Sheet->Select(block);
    return WriteExchangeFile(tempFolder_, App.CopySelectionText());
}

CellTexts ClsWithinExcel::ReadTempFile(const std::string& path) {
    return ReadExchangeFile(path);
}

std::optional<CellTexts> ClsWithinExcel::GetVals() {
    if (!ConnectExcel()) return std::nullopt;
    try {
        std::string address = AskForRange(kSelectDataPrompt);
        if (address.empty()) return std::nullopt;
        std::optional<CellBlock> block = ParseBlockAddress(address);
        if (!block) {
            ShowProblem(box_, NotOneBlockMessage(address));
            return std::nullopt;
        }
        return ReadTempFile(CopyRangeToTempFile(*block));
    } catch (const SpreadsheetError& error) {
        ShowProblem(box_, error.what());
    } catch (const std::system_error& error) {
        ShowProblem(box_, std::string("The selected block could not be taken: ") + error.what());
    }
    return std::nullopt;
}

void ClsWithinExcel::WriteToExcel(const ExcelRows& Vals) {
    if (!ConnectExcel()) return;
    try {
        if (box_.Show(kLocateOutputPrompt, MsgButtons::OKCancel, MsgIcon::None, "") ==
            MsgAnswer::Cancel) {
            return;
        }
        std::string address = AskForRange(kLocateOutputPrompt);
        if (address.empty()) return;
        std::optional<CellBlock> block = ParseBlockAddress(address);
        if (!block) {
            ShowProblem(box_, NotOneBlockMessage(address) + "\r\nNothing was written.");
            return;
        }
        if (Vals.empty()) return;
        SheetRows rows;
        rows.reserve(Vals.size());
        for (const auto& row : Vals) {
            std::vector<SheetValue> cells(row.size());  // empty cells
            for (std::size_t i = 0; i < row.size(); ++i) {
                if (row[i]) cells[i].emplace<double>(*row[i]);
            }
            rows.push_back(std::move(cells));
        }
        Sheet->SetValues(block->firstRow, block->firstColumn, rows);
    } catch (const SpreadsheetError& error) {
        ShowProblem(box_, std::string(error.what()) + "\r\nNothing was written.");
    }
}

void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box,
                         const std::function<ExcelRows(const CellTexts&)>& transfer) {
    std::optional<CellTexts> block = excel.GetVals();
    if (!block || block->empty()) return;
    if (block->front().size() < 2) {
        ShowProblem(box, "The selected block has one column. Select two columns: X and Y.");
        return;
    }
    ExcelRows result;
    try {
        result = transfer(*block);
    } catch (const ArithmeticError& error) {
        ShowProblem(box, std::string("The selection cannot be transferred: ") + error.what() +
                             "\r\nNothing was written.");
        return;
    }
    excel.WriteToExcel(result);
}

}  // namespace utm
