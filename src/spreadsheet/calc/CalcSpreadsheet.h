// The spreadsheet application on LibreOffice Calc, driven over UNO through a
// named pipe. A person's Calc is started with that pipe when none answers on
// it; tests and benchmarks start a private headless Calc of their own.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

#include "spreadsheet/SpreadsheetPort.h"

namespace utm {

struct CalcOptions {
    /// The pipe the office accepts UNO connections on.
    std::string pipeName;
    /// The office start program.
    std::string soffice = "/usr/lib/libreoffice/program/soffice";
    /// Start it without any window (--headless --invisible): documents are
    /// loaded hidden and nothing is shown. For tests and benchmarks.
    bool headless = false;
    /// Folder of a private profile (empty: the person's own profile). A new
    /// profile is seeded so that the office starts quickly, in en-US.
    std::string profileFolder;
    /// Stop the office (Desktop.terminate()) when this object goes away, if it
    /// started it.
    bool terminateOnExit = false;
    /// How long a starting office may take to answer.
    int startTimeoutMs = 30000;

    /// The person's Calc: pipe "utm_calc_<user id>", visible, own profile.
    static CalcOptions ForDesktop();
    /// A private headless Calc with a unique pipe and its profile in
    /// `profileFolder`, stopped on exit.
    static CalcOptions Headless(const std::string& profileFolder);
};

/// The font of one cell, for checking the finishing format.
struct CalcCellFont {
    std::string name;
    double size = 0;
    std::string style;  ///< "Regular", "Bold", "Italic" or "Bold Italic"
};

class CalcSpreadsheet : public SpreadsheetPort {
  public:
    explicit CalcSpreadsheet(CalcOptions options = CalcOptions::ForDesktop());
    ~CalcSpreadsheet() override;
    CalcSpreadsheet(const CalcSpreadsheet&) = delete;
    CalcSpreadsheet& operator=(const CalcSpreadsheet&) = delete;

    bool BindRunning() override;
    void StartNew() override;
    void BindWorkbook(const std::string& path) override;
    void Show() override;
    std::string SelectionAddress() override;
    std::shared_ptr<Worksheet> ActiveSheet() override;
    std::string CopySelectionText() override;

    /// Stops the office with Desktop.terminate() and waits for the process
    /// this object started, if any.
    void Terminate();
    /// Saves the current workbook at `path` (the file type by its extension).
    void SaveCurrentAs(const std::string& path);
    /// The font of cell (`row`, `column`) of the active sheet.
    CalcCellFont CellFont(int row, int column);
    /// The office's clipboard as plain text (empty when it holds none), and
    /// putting a text on it: to check that the exchange leaves it alone.
    std::string ClipboardText();
    void SetClipboardText(const std::string& text);

    const CalcOptions& options() const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

}  // namespace utm
