// Retrieve of a 100,000-row block (latitude, longitude to X, Y) against a
// private headless LibreOffice Calc, prompts answered by script: the time of
// reading the block, converting it, writing the results and the finishing
// format together, in milliseconds, with the time of each sheet call.
// Exit status 3 when the median is not under 1.5 s.
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Declaration.h"
#include "spreadsheet/ClsWithinExcel.h"
#include "spreadsheet/SelectRangePaste.h"
#include "spreadsheet/calc/CalcSpreadsheet.h"
#include "spreadsheet/calc/CalcUser.h"
#include "support/ScriptedPorts.h"

namespace fs = std::filesystem;
using namespace utm;
using Clock = std::chrono::steady_clock;

namespace {

constexpr double kTargetMs = 1500.0;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Time spent per sheet call, summed over one run.
using CallTimes = std::map<std::string, double>;

template <typename F>
auto Timed(CallTimes& times, const char* name, F&& call) {
    const auto start = Clock::now();
    struct Add {
        CallTimes& times;
        const char* name;
        Clock::time_point start;
        ~Add() { times[name] += Milliseconds(Clock::now() - start); }
    } add{times, name, start};
    return call();
}

// The sheets of the real application with every call timed.
class TimedSheet : public Worksheet {
  public:
    TimedSheet(std::shared_ptr<Worksheet> sheet, CallTimes& times)
        : sheet_(std::move(sheet)), times_(times) {}
    std::string Name() override { return sheet_->Name(); }
    std::string WorkbookName() override { return sheet_->WorkbookName(); }
    bool SameSheet(const Worksheet& other) const override { return sheet_->SameSheet(other); }
    std::optional<CellBlock> UsedArea() override {
        return Timed(times_, "UsedArea", [&] { return sheet_->UsedArea(); });
    }
    SheetRows GetValues(const CellBlock& block) override {
        return Timed(times_, "GetValues", [&] { return sheet_->GetValues(block); });
    }
    void SetValues(int topRow, int leftColumn, const SheetRows& rows) override {
        Timed(times_, "SetValues", [&] { sheet_->SetValues(topRow, leftColumn, rows); });
    }
    void Select(const CellBlock& block) override {
        Timed(times_, "Select", [&] { sheet_->Select(block); });
    }
    void SelectColumns(int firstColumn, int lastColumn) override {
        Timed(times_, "SelectColumns", [&] { sheet_->SelectColumns(firstColumn, lastColumn); });
    }
    void SetFont(const CellBlock& block, const std::string& name, double size,
                 const std::string& style) override {
        Timed(times_, "SetFont", [&] { sheet_->SetFont(block, name, size, style); });
    }
    void AutoFitColumns(const CellBlock& block) override {
        Timed(times_, "AutoFitColumns", [&] { sheet_->AutoFitColumns(block); });
    }
    std::vector<double> ColumnWidths(const CellBlock& block) override {
        return Timed(times_, "ColumnWidths", [&] { return sheet_->ColumnWidths(block); });
    }
    void SetColumnWidths(const CellBlock& block, const std::vector<double>& widths) override {
        Timed(times_, "SetColumnWidths", [&] { sheet_->SetColumnWidths(block, widths); });
    }

  private:
    std::shared_ptr<Worksheet> sheet_;
    CallTimes& times_;
};

class TimedSpreadsheet : public SpreadsheetPort {
  public:
    TimedSpreadsheet(SpreadsheetPort& app, CallTimes& times) : app_(app), times_(times) {}
    bool BindRunning() override { return app_.BindRunning(); }
    void StartNew() override { app_.StartNew(); }
    void BindWorkbook(const std::string& path) override {
        Timed(times_, "BindWorkbook", [&] { app_.BindWorkbook(path); });
    }
    void Show() override { app_.Show(); }
    SheetSelection Selection() override {
        SheetSelection selection = Timed(times_, "Selection", [&] { return app_.Selection(); });
        selection.sheet = std::make_shared<TimedSheet>(selection.sheet, times_);
        return selection;
    }
    std::shared_ptr<Worksheet> ActiveSheet() override {
        return std::make_shared<TimedSheet>(app_.ActiveSheet(), times_);
    }
    std::string CopySelectionText() override { return app_.CopySelectionText(); }

  private:
    SpreadsheetPort& app_;
    CallTimes& times_;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

int Run(int rows, int repetitions, const fs::path& folder) {
    const CalcOptions options = CalcOptions::Headless((folder / "profile").string());
    CalcSpreadsheet app(options);
    auto started = Clock::now();
    app.StartNew();
    std::printf("office start: %.0f ms\n", Milliseconds(Clock::now() - started));

    // The person types the block and saves the workbook.
    test::CalcUser user(options.pipeName);
    SheetRows input(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        input[static_cast<std::size_t>(i)] = {26.5 + 0.00002 * i, 81.5 + 0.00004 * i};
    }
    user.Put("Sheet1", 2, 1, input);
    const std::string workbook = (folder / "points.ods").string();
    user.SaveAs(workbook);

    const CellBlock block{2, 1, rows + 1, 2};
    std::vector<double> readTimes, computeTimes, totals;
    std::map<std::string, std::vector<double>> callTimes;
    for (int r = 0; r < repetitions; ++r) {
        test::ScriptedMessageBox box;
        test::ScriptedFileDialog files;
        CommonDialog dialog(files);
        files.choices.push_back(workbook);
        box.beforeAnswer = {nullptr, [&] { user.Select("Sheet1", block); }, nullptr};
        box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
        Declaration::SharedCM = DegreesToRadians(84);
        CallTimes times;
        TimedSpreadsheet timed(app, times);
        SelectRangePaste paste(timed, box);
        // The first prompt of the Retrieve command, then the two steps timed apart.
        box.Show(kSelectDataFilePrompt, MsgButtons::OKCancel, MsgIcon::None, "");
        bool endsub = false;
        auto t0 = Clock::now();
        paste.ReadSheet(dialog, endsub);
        auto t1 = Clock::now();
        if (endsub) {
            std::fprintf(stderr, "Retrieve ended early: %s\n", box.shown.back().text.c_str());
            return 1;
        }
        paste.ComputePaste(true);
        auto t2 = Clock::now();
        if (box.shown.size() != 3) {
            std::fprintf(stderr, "unexpected message: %s\n", box.shown.back().text.c_str());
            return 1;
        }
        readTimes.push_back(Milliseconds(t1 - t0));
        computeTimes.push_back(Milliseconds(t2 - t1));
        totals.push_back(Milliseconds(t2 - t0));
        for (const auto& [name, ms] : times) callTimes[name].push_back(ms);
    }
    const SheetValue x = user.Cell("Sheet1", rows + 1, 3);
    const SheetValue y = user.Cell("Sheet1", rows + 1, 4);
    if (!std::holds_alternative<double>(x) || !std::holds_alternative<double>(y)) {
        std::fprintf(stderr, "the last row received no results\n");
        return 1;
    }
    std::printf("last row: X %.3f, Y %.3f\n", std::get<double>(x), std::get<double>(y));

    std::printf("%d rows, %d runs (median / best):\n", rows, repetitions);
    std::printf("  ReadSheet (bind, dialogue, read):      %7.1f / %7.1f ms\n", Median(readTimes),
                *std::min_element(readTimes.begin(), readTimes.end()));
    std::printf("  ComputePaste (convert, write, format): %7.1f / %7.1f ms\n", Median(computeTimes),
                *std::min_element(computeTimes.begin(), computeTimes.end()));
    std::printf("  Retrieve total:                        %7.1f / %7.1f ms (target < %.0f ms)\n",
                Median(totals), *std::min_element(totals.begin(), totals.end()), kTargetMs);
    std::printf("  sheet calls (median per run):\n");
    for (const auto& [name, ms] : callTimes) {
        std::printf("    %-16s %7.1f ms\n", name.c_str(), Median(ms));
    }
    return Median(totals) < kTargetMs ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    ::signal(SIGPIPE, SIG_IGN);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int repetitions = argc > 2 ? std::atoi(argv[2]) : 5;
    std::string pattern = DefaultTempFolder() + "/utm-calc-bench-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    const fs::path folder = pattern;
    int result = 1;
    try {
        result = Run(rows, repetitions, folder);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
    }
    fs::remove_all(folder);
    return result;
}
