// The LibreOffice process: where it is installed, starting it so that it
// accepts UNO connections on a named pipe, and waiting for (or ending) one
// that this program started.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

namespace utm {

struct CalcOptions {
    /// The pipe the office accepts UNO connections on.
    std::string pipeName;
    /// The office start program (the installation this program was built against).
    std::string soffice;
    /// Start it without any window (--headless --invisible): documents are
    /// loaded hidden and nothing is shown. For tests and benchmarks.
    bool headless = false;
    /// Folder of a private profile (empty: the person's own profile). A new
    /// profile is seeded so that the office starts quickly, in en-US.
    std::string profileFolder;
    /// Stop the office (Desktop.terminate()) when the spreadsheet object goes
    /// away, if it started it.
    bool terminateOnExit = false;
    /// How long a starting office may take to answer.
    int startTimeoutMs = 30000;

    /// The person's Calc: pipe "utm_calc_<user id>", visible, own profile.
    static CalcOptions ForDesktop();
    /// A private headless Calc with a unique pipe and its profile in
    /// `profileFolder`, stopped on exit.
    static CalcOptions Headless(const std::string& profileFolder);
};

/// The "program" folder of the LibreOffice installation found at build time.
std::string LibreOfficeProgramFolder();

/// One office started by this program.
class OfficeProcess {
  public:
    explicit OfficeProcess(const CalcOptions& options) : options_(options) {}

    /// Starts the office accepting on the options' pipe. A visible office is
    /// detached (a person's Calc outlives this program); a headless one stays
    /// this process's child. Does not wait for it to answer. Throws
    /// SpreadsheetError when it is not installed or cannot start.
    void Start();
    /// True once Start succeeded.
    bool Started() const { return started_; }
    /// True when the child started by Start has already ended (it handed its
    /// request to an office running on the same profile, or failed).
    bool EndedEarly();
    /// Waits until the child has ended, at most `patience`; then ends it and
    /// the office it runs by force. Nothing to do for a detached office.
    void AwaitEnd(std::chrono::milliseconds patience);

  private:
    const CalcOptions& options_;
    pid_t child_ = 0;
    bool started_ = false;
};

}  // namespace utm
