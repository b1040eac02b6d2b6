#include "spreadsheet/ClsWithinExcel.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <system_error>

#include "common/BlockRunner.h"
#include "common/DataFileReader.h"
#include "common/NumericText.h"
#include "common/RunReport.h"
#include "geodesy/ArithmeticError.h"
#include "spreadsheet/RangeAddress.h"
#include "spreadsheet/SelectionDialogue.h"
#include "spreadsheet/SheetBlock.h"

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

BlockCells MergeStoredNumbers(const CellTexts& texts, const SheetRows& values) {
    BlockCells cells;
    cells.reserve(texts.size());
    if (texts.size() == values.size()) {
        for (std::size_t r = 0; r < texts.size(); ++r) {
            std::vector<std::optional<CellContent>> row(texts[r].size());
            for (std::size_t c = 0; c < row.size(); ++c) {
                const double* number =
                    c < values[r].size() ? std::get_if<double>(&values[r][c]) : nullptr;
                if (number != nullptr) {
                    row[c] = *number;
                } else if (texts[r][c]) {
                    row[c] = *texts[r][c];
                }
            }
            cells.push_back(std::move(row));
        }
        return cells;
    }
    for (const std::vector<SheetValue>& valueRow : values) {
        std::vector<std::optional<CellContent>> row(valueRow.size());
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (const double* number = std::get_if<double>(&valueRow[c])) {
                row[c] = *number;
            } else if (const std::string* text = std::get_if<std::string>(&valueRow[c])) {
                row[c] = *text;
            } else {
                row[c] = std::string();
            }
        }
        cells.push_back(std::move(row));
    }
    return cells;
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
    } catch (const OperationError& error) {
        ShowProblem(box_, error.what());
        return false;
    }
}

std::optional<SheetSelection> ClsWithinExcel::AskForRange(const std::string& prompt,
                                                          const ConfirmationNote& note) {
    std::optional<SheetSelection> selection = RunSelectionDialogue(App, box_, prompt, note);
    // Every cell access of the operation goes to the sheet the user confirmed.
    if (selection) Sheet = selection->sheet;
    return selection;
}

std::string ClsWithinExcel::CopyRangeToTempFile(const CellBlock& block) {
    Sheet->Select(block);
    return WriteExchangeFile(tempFolder_, App.CopySelectionText());
}

CellTexts ClsWithinExcel::ReadTempFile(const std::string& path) {
    return ReadExchangeFile(path);
}

std::optional<BlockCells> ClsWithinExcel::GetVals() {
    if (!ConnectExcel()) return std::nullopt;
    try {
        std::optional<SheetSelection> selection = AskForRange(kSelectDataPrompt);
        if (!selection) return std::nullopt;
        std::optional<CellBlock> block = ParseSelectedPart(selection->address);
        if (!block) {
            ShowProblem(box_, NotOneBlockMessage(selection->address, Sheet.get()));
            return std::nullopt;
        }
        // Rows and columns beyond everything in use hold nothing (Ctrl+A
        // selects the whole sheet, a click on a column's head the whole
        // column); the top-left corner stays, so that every
        // row keeps its place for the output.
        const std::optional<CellBlock> used = ClipToUsedArea(*Sheet, *block);
        if (!used) {
            ShowProblem(box_, NoDataMessage(selection->address, *Sheet, "Nothing was read."));
            return std::nullopt;
        }
        RequireReadableSize(selection->address, *used, used->cells());
        CellTexts texts = ReadTempFile(CopyRangeToTempFile(*used));
        BlockCells cells = MergeStoredNumbers(texts, Sheet->GetValues(*used));
        inputSheet_ = Sheet;
        inputBlock_ = *used;
        return cells;
    } catch (const OperationError& error) {
        ShowProblem(box_, error.what());
    } catch (const std::system_error& error) {
        ShowProblem(box_, std::string("The selected block could not be taken: ") + error.what());
    }
    return std::nullopt;
}

bool ClsWithinExcel::WriteToExcel(const ExcelRows& Vals, const std::vector<bool>& untouched) {
    if (!ConnectExcel()) return false;
    try {
        if (box_.Show(kLocateOutputPrompt, MsgButtons::OKCancel, MsgIcon::None, "") ==
            MsgAnswer::Cancel) {
            return false;
        }
        // An output block on another sheet than the input is said in the
        // confirmation, with both sheets named.
        const ConfirmationNote note = [this](const SheetSelection& output) -> std::string {
            if (!inputSheet_ || !output.sheet || output.sheet->SameSheet(*inputSheet_)) return "";
            return "The results go to " + SheetLabel(*output.sheet, inputSheet_.get()) +
                   "; the input block is on " + SheetLabel(*inputSheet_, output.sheet.get()) + ".";
        };
        std::optional<SheetSelection> selection = AskForRange(kLocateOutputPrompt, note);
        if (!selection) return false;
        // Results go from the top-left cell on: whole columns start at row 1.
        std::optional<CellBlock> block = ParseSelectedPart(selection->address);
        if (!block) {
            ShowProblem(box_, NotOneBlockMessage(selection->address, Sheet.get()) +
                                  "\r\nNothing was written.");
            return false;
        }
        if (Vals.empty()) return false;
        std::vector<SheetRowUse> uses(Vals.size(), SheetRowUse::Point);
        for (std::size_t i = 0; i < untouched.size() && i < uses.size(); ++i) {
            if (untouched[i]) uses[i] = SheetRowUse::Skip;
        }
        for (const auto& [start, length] : WrittenRuns(uses)) {
            SheetRows rows;
            rows.reserve(length);
            for (std::size_t k = start; k < start + length; ++k) {
                const auto& row = Vals[k];
                std::vector<SheetValue> cells(row.size());  // empty cells
                for (std::size_t i = 0; i < row.size(); ++i) {
                    if (row[i]) cells[i].emplace<double>(*row[i]);
                }
                rows.push_back(std::move(cells));
            }
            Sheet->SetValues(block->firstRow + static_cast<int>(start), block->firstColumn, rows);
        }
        return true;
    } catch (const OperationError& error) {
        ShowProblem(box_, std::string(error.what()) + "\r\nNothing was written.");
    }
    return false;
}

namespace {

/// A cell of the block as the sheet holds it.
SheetValue ValueOf(const std::optional<CellContent>& cell) {
    if (!cell) return SheetValue();
    if (const double* number = std::get_if<double>(&*cell)) return *number;
    return std::get<std::string>(*cell);
}

}  // namespace

void TransferWithinExcel(ClsWithinExcel& excel, MessageBoxPort& box, const BlockTransfer& transfer,
                         char decimalSeparator) {
    std::optional<BlockCells> block = excel.GetVals();
    if (!block || block->empty()) return;
    if (block->front().size() < 2) {
        ShowProblem(box, "The selected block has one column. Select two columns: X and Y.");
        return;
    }
    // Only the rows that hold points go to the transfer.
    const CellBlock input = excel.InputBlock();
    SheetRowSorter sorter(decimalSeparator);
    std::vector<SheetRowUse> uses(block->size());
    BlockCells points;
    std::vector<int> pointRows;
    RunReport report;
    for (std::size_t r = 0; r < block->size(); ++r) {
        const auto& row = (*block)[r];
        const int sheetRow = input.firstRow + static_cast<int>(r);
        uses[r] = sorter.Next(ValueOf(row[0]), ValueOf(row[1])).use;
        if (uses[r] == SheetRowUse::NoPoint) {
            report.Add(Finding::NoNumber, static_cast<std::size_t>(sheetRow));
        } else if (uses[r] == SheetRowUse::Point) {
            points.push_back(row);
            pointRows.push_back(sheetRow);
        }
    }
    const std::string sheet = excel.InputSheet() ? SheetLabel(*excel.InputSheet()) : "the sheet";
    if (std::all_of(uses.begin(), uses.end(),
                    [](SheetRowUse u) { return u == SheetRowUse::Skip; })) {
        ShowProblem(box, "The selected block " + FormatBlockAddress(input) + " on " + sheet +
                             " holds only header and blank rows. Nothing was written.");
        return;
    }
    ExcelRows transferred;
    try {
        if (!points.empty()) transferred = transfer(points, pointRows);
    } catch (const ArithmeticError& error) {
        ShowProblem(box, std::string("The selection cannot be transferred: ") + error.what() +
                             "\r\nNothing was written.");
        return;
    }
    // Back in the block's rows: header and blank rows untouched, rows
    // without a point with empty results.
    ExcelRows result(block->size());
    std::vector<bool> untouched(block->size(), false);
    std::size_t next = 0;
    for (std::size_t r = 0; r < block->size(); ++r) {
        if (uses[r] == SheetRowUse::Skip) {
            untouched[r] = true;
        } else if (uses[r] == SheetRowUse::Point && next < transferred.size()) {
            result[r] = transferred[next++];
        }
    }
    // Rows below the last one that gets results are not written either.
    while (!result.empty() && untouched.back()) {
        result.pop_back();
        untouched.pop_back();
    }
    if (!excel.WriteToExcel(result, untouched) || report.Empty()) return;
    const CellBlock xy{input.firstRow, input.firstColumn, input.lastRow,
                       std::min(input.lastColumn, input.firstColumn + 1)};
    ShowProblem(box, "The results of " + GroupedNumber(static_cast<long long>(points.size())) +
                         (points.size() == 1 ? " row were" : " rows were") + " written.\r\n" +
                         NoNumberSentence(report, xy, sheet));
}

}  // namespace utm
