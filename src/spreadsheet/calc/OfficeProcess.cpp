#include "spreadsheet/calc/OfficeProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>
#include <vector>

#include "spreadsheet/SpreadsheetPort.h"
#include "spreadsheet/calc/UnoConnection.h"

#ifndef UTM_LIBREOFFICE_PROGRAM_DIR
#error "UTM_LIBREOFFICE_PROGRAM_DIR (the LibreOffice program folder) must be defined"
#endif

namespace utm {

namespace {

// The text of the installation's ooSetupVersion ("7.4"), for seeding a profile.
std::string SetupVersion() {
    std::ifstream in(LibreOfficeProgramFolder() + "/../share/registry/main.xcd");
    std::stringstream buffer;
    buffer << in.rdbuf();
    const std::string xcd = buffer.str();
    const std::string key = "<prop oor:name=\"ooSetupVersion\">";
    std::size_t at = xcd.find(key);
    if (at == std::string::npos) return "";
    std::size_t open = xcd.find("<value>", at);
    std::size_t close = xcd.find("</value>", open);
    if (open == std::string::npos || close == std::string::npos) return "";
    open += 7;
    return xcd.substr(open, close - open);
}

// The build id of the installation ("40(Build:2)"), from versionrc.
std::string BuildId() {
    std::ifstream in(LibreOfficeProgramFolder() + "/versionrc");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("buildid=", 0) == 0) return line.substr(8);
    }
    return "";
}

// A new profile starts without its first-start work and in en-US, so that
// copied numbers use "." whatever the machine's locale. It also carries the
// installation's build id in user/extensions/buildid: without it the office
// clears its extension cache on the first start and then restarts itself,
// so that the office answering the pipe a moment after the start is gone a
// moment later and a second one answers instead.
void SeedProfile(const std::string& folder) {
    std::filesystem::path user = std::filesystem::path(folder) / "user";
    std::filesystem::create_directories(user / "extensions");
    std::filesystem::path buildId = user / "extensions" / "buildid";
    if (!std::filesystem::exists(buildId)) std::ofstream(buildId) << BuildId();
    std::filesystem::path file = user / "registrymodifications.xcu";
    if (std::filesystem::exists(file)) return;
    std::ofstream out(file);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
           "<item oor:path=\"/org.openoffice.Setup/Product\"><prop "
           "oor:name=\"ooSetupLastVersion\" oor:op=\"fuse\"><value>"
        << SetupVersion()
        << "</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop oor:name=\"ooLocale\" "
           "oor:op=\"fuse\"><value>en-US</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Setup/L10N\"><prop "
           "oor:name=\"ooSetupSystemLocale\" oor:op=\"fuse\"><value>en-US</value></prop></item>\n"
           "<item oor:path=\"/org.openoffice.Office.Common/Misc\"><prop "
           "oor:name=\"FirstRun\" oor:op=\"fuse\"><value>false</value></prop></item>\n"
           "</oor:items>\n";
}

// Starts `argv` with its standard streams on /dev/null. Detached: the office
// is not this process's child and 0 is returned; otherwise the child's id.
pid_t Spawn(const std::vector<std::string>& argv, bool detached) {
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
            ::dup2(null, 2);
        }
        ::setsid();
        if (detached && ::fork() != 0) ::_exit(0);
        ::execv(args[0], args.data());
        ::_exit(127);
    }
    if (detached) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        return 0;
    }
    return pid;
}

// True when the office next to `soffice` has a window-system plugin: the
// -nogui build has none and crashes when asked to show a document.
bool HasWindowSystem(const std::string& soffice) {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::path(soffice).parent_path();
    for (const auto& entry : std::filesystem::directory_iterator(program, error)) {
        if (entry.path().filename().string().rfind("libvclplug_", 0) == 0) return true;
    }
    return false;
}

// The processes whose parent is `parent`.
std::vector<pid_t> ChildrenOf(pid_t parent) {
    std::vector<pid_t> children;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        std::ifstream stat(entry.path() / "stat");
        std::string line;
        std::getline(stat, line);
        // pid (comm) state ppid ...: the name may hold blanks and parentheses.
        std::size_t close = line.rfind(')');
        if (close == std::string::npos) continue;
        std::istringstream rest(line.substr(close + 1));
        std::string state;
        long ppid = 0;
        if (rest >> state >> ppid && ppid == parent) children.push_back(std::stoi(name));
    }
    return children;
}

}  // namespace

std::string LibreOfficeProgramFolder() {
    return UTM_LIBREOFFICE_PROGRAM_DIR;
}

CalcOptions CalcOptions::ForDesktop() {
    CalcOptions options;
    options.pipeName = "utm_calc_" + std::to_string(::getuid());
    options.soffice = LibreOfficeProgramFolder() + "/soffice";
    return options;
}

CalcOptions CalcOptions::Headless(const std::string& profileFolder) {
    static std::atomic<int> counter{0};
    CalcOptions options = ForDesktop();
    options.pipeName = "utm_test_" + std::to_string(::getpid()) + "_" + std::to_string(++counter);
    options.headless = true;
    options.profileFolder = profileFolder;
    options.terminateOnExit = true;
    return options;
}

void OfficeProcess::Start() {
    if (::access(options_.soffice.c_str(), X_OK) != 0) {
        throw SpreadsheetError("LibreOffice Calc is not installed (" + options_.soffice +
                               " was not found), so no spreadsheet can be opened.");
    }
    if (!options_.headless && !HasWindowSystem(options_.soffice)) {
        throw SpreadsheetError(
            "LibreOffice Calc is installed without windows (the -nogui build), so it cannot "
            "show a spreadsheet to select cells in. Install libreoffice-calc.");
    }
    std::vector<std::string> argv = {options_.soffice};
    if (options_.headless) {
        argv.insert(argv.end(), {"--headless", "--invisible", "--nodefault", "--norestore",
                                 "--nolockcheck", "--nologo"});
    } else {
        argv.insert(argv.end(), {"--calc", "--norestore", "--nologo"});
    }
    if (!options_.profileFolder.empty()) {
        SeedProfile(options_.profileFolder);
        argv.push_back("-env:UserInstallation=" + FileUrl(options_.profileFolder));
    }
    argv.push_back("--accept=pipe,name=" + options_.pipeName + ";urp;");
    const pid_t pid = Spawn(argv, !options_.headless);
    if (pid < 0) throw SpreadsheetError("LibreOffice Calc could not be started.");
    child_ = pid;
    started_ = true;
}

bool OfficeProcess::EndedEarly() {
    if (child_ <= 0) return false;
    int status = 0;
    if (::waitpid(child_, &status, WNOHANG) != child_) return false;
    child_ = 0;
    return true;
}

void OfficeProcess::AwaitEnd(std::chrono::milliseconds patience) {
    if (child_ <= 0) return;
    const pid_t child = child_;
    child_ = 0;
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (std::chrono::steady_clock::now() < deadline) {
        if (::waitpid(child, nullptr, WNOHANG) != 0) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // It did not stop: end the start program and the office it runs.
    for (pid_t office : ChildrenOf(child)) ::kill(office, SIGKILL);
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
}

}  // namespace utm
