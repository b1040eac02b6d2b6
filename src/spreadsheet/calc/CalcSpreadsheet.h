// The spreadsheet application on LibreOffice Calc, driven over UNO through a
// named pipe. A person's Calc is started with that pipe when none answers on
// it; tests and benchmarks start a private headless Calc of their own.
#pragma once

#include <memory>
#include <string>

#include "spreadsheet/SpreadsheetPort.h"
#include "spreadsheet/calc/OfficeProcess.h"

namespace utm {

class CalcSpreadsheet : public SpreadsheetPort {
  public:
    explicit CalcSpreadsheet(CalcOptions options = CalcOptions::ForDesktop());
    /// Stops the office with Desktop.terminate() when the options ask for it
    /// and this object started it, and waits for it to end.
    ~CalcSpreadsheet() override;
    CalcSpreadsheet(const CalcSpreadsheet&) = delete;
    CalcSpreadsheet& operator=(const CalcSpreadsheet&) = delete;

    bool BindRunning() override;
    void StartNew() override;
    void BindWorkbook(const std::string& path) override;
    void Show() override;
    SheetSelection Selection() override;
    std::shared_ptr<Worksheet> ActiveSheet() override;
    std::string CopySelectionText() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace utm
