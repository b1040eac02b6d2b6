// Retrieve of a 10,000-row block (latitude, longitude to X, Y) against a
// private headless LibreOffice Calc, prompts answered by script: the time of
// reading the block, converting it and writing the results (with the finishing
// format), in milliseconds.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "geodesy/Angles.h"
#include "geodesy/Declaration.h"
#include "spreadsheet/ClsWithinExcel.h"
#include "spreadsheet/SelectRangePaste.h"
#include "spreadsheet/calc/CalcSpreadsheet.h"
#include "support/ScriptedPorts.h"

namespace fs = std::filesystem;
using namespace utm;
using Clock = std::chrono::steady_clock;

namespace {

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

int Run(int rows, int repetitions, const fs::path& folder) {
    CalcSpreadsheet app(CalcOptions::Headless((folder / "profile").string()));
    auto started = Clock::now();
    app.StartNew();
    std::printf("office start: %.0f ms\n", Milliseconds(Clock::now() - started));

    std::shared_ptr<Worksheet> sheet = app.ActiveSheet();
    SheetRows input(static_cast<std::size_t>(rows));
    for (int i = 0; i < rows; ++i) {
        input[static_cast<std::size_t>(i)] = {26.5 + 0.0002 * i, 81.5 + 0.0004 * i};
    }
    sheet->SetValues(2, 1, input);
    const std::string workbook = (folder / "points.ods").string();
    app.SaveCurrentAs(workbook);

    const CellBlock block{2, 1, rows + 1, 2};
    std::vector<double> readTimes, computeTimes, totals;
    for (int r = 0; r < repetitions; ++r) {
        test::ScriptedMessageBox box;
        test::ScriptedFileDialog files;
        CommonDialog dialog(files);
        files.choices.push_back(workbook);
        box.beforeAnswer = {nullptr, [&] { sheet->Select(block); }, nullptr};
        box.answers = {MsgAnswer::OK, MsgAnswer::OK, MsgAnswer::OK};
        Declaration::SharedCM = DegreesToRadians(84);
        SelectRangePaste paste(app, box);
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
    }
    SheetRows check = sheet->GetValues({rows + 1, 3, rows + 1, 4});
    std::printf("last row: X %.3f, Y %.3f\n", std::get<double>(check[0][0]),
                std::get<double>(check[0][1]));

    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%d rows, %d runs (median / best):\n", rows, repetitions);
    std::printf("  ReadSheet (bind, dialogue, read):      %7.1f / %7.1f ms\n", median(readTimes),
                *std::min_element(readTimes.begin(), readTimes.end()));
    std::printf("  ComputePaste (convert, write, format): %7.1f / %7.1f ms\n", median(computeTimes),
                *std::min_element(computeTimes.begin(), computeTimes.end()));
    std::printf("  Retrieve total:                        %7.1f / %7.1f ms (target < 1000 ms)\n",
                median(totals), *std::min_element(totals.begin(), totals.end()));
    return median(totals) < 1000.0 ? 0 : 3;
}

}  // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 10000;
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
