// The spreadsheet application of a program built without LibreOffice Calc
// support: none runs and none can be started, which the operations report.
#pragma once

#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

class NoSpreadsheet : public SpreadsheetPort {
  public:
    bool BindRunning() override { return false; }
    void StartNew() override { Fail(); }
    void BindWorkbook(const std::string&) override { Fail(); }
    void Show() override { Fail(); }
    SheetSelection Selection() override { Fail(); }
    std::shared_ptr<Worksheet> ActiveSheet() override { Fail(); }
    std::string CopySelectionText() override { Fail(); }

  private:
    [[noreturn]] static void Fail() {
        throw SpreadsheetError(
            "This program was built without LibreOffice Calc support, so no spreadsheet can be "
            "opened.");
    }
};

}  // namespace utm
