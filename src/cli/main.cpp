// utmconv: the command-line companion of the UTM desktop program.
#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "cli/CliSupport.h"
#include "cli/ConvertCommand.h"
#include "cli/CrsCommand.h"
#include "cli/PointCommand.h"
#include "cli/TransferCommand.h"
#include "common/RunReport.h"
#include "geodesy/ArithmeticError.h"

namespace {

constexpr const char* kSubcommands = "point, convert, transfer, transform or crs";

int Fail(const std::string& message) {
    utm::cli::PrintError(message);
    return utm::cli::kFailureExit;
}

/// The first option written "--NAME=" with nothing after the "=", as
/// "--NAME": CLI11 would take the argument after it as its value.
std::optional<std::string> OptionWithEmptyValue(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--") break;
        if (argument.starts_with("--") && argument.size() > 3 &&
            argument.find('=') == argument.size() - 1) {
            return std::string(argument.substr(0, argument.size() - 1));
        }
    }
    return std::nullopt;
}

/// The message for a command line refused before any subcommand was
/// recognised: the word utmconv does not know, and where to look.
std::string WithoutSubcommand(CLI::App& app, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument.starts_with("-")) {
            return "unknown option " + utm::QuotedText(argument) + ": give a subcommand (" +
                   kSubcommands + ") first; see utmconv --help";
        }
        const auto named = [&](CLI::App* command) { return command->check_name(argument); };
        if (app.get_subcommands(named).empty()) {
            return "unknown subcommand " + utm::QuotedText(argument) + ": give " + kSubcommands +
                   "; see utmconv --help";
        }
    }
    return std::string("give a subcommand: ") + kSubcommands + "; see utmconv --help";
}

/// The message for arguments a subcommand does not take.
std::string Unexpected(CLI::App& command, const CLI::ParseError& e) {
    const std::string help = "see utmconv " + command.get_name() + " --help";
    for (const std::string& argument : command.remaining()) {
        if (argument.starts_with("-") && argument != "-") {
            return "unknown option " + utm::QuotedText(argument) + " for " + command.get_name() +
                   ": " + help;
        }
    }
    std::string extra;
    for (const std::string& argument : command.remaining()) {
        extra += (extra.empty() ? "" : " ") + utm::QuotedText(argument);
    }
    if (extra.empty()) return std::string(e.what()) + ": " + help;
    return "too many arguments for " + command.get_name() + ": " + extra + " is left over; " + help;
}

/// Help and version go to the standard output; a failed write is an error.
int PrintedToStdout(const CLI::App& app, const CLI::Error& e) {
    errno = 0;
    const int status = app.exit(e);
    std::cout.flush();
    if (!std::cout.good() || std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        const int error = errno;
        return Fail(std::string("cannot write to the standard output") +
                    (error != 0 ? std::string(": ") + std::strerror(error) : std::string()));
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "utmconv: convert coordinates between latitude/longitude and Transverse Mercator grids"};
    app.set_version_flag("--version", std::string("utmconv ") + UTM_VERSION);
    app.footer(
        "Exit status: 0 all done (warnings on stderr possible), 1 done with points that could "
        "not be computed left out or marked (--on-error skip or mark), 2 nothing done.\n"
        "DATAFILE - reads the standard input from where it stands (a pipe, a socket or a file), "
        "OUTFILE - writes the standard output, with LF line ends unless --line-ends crlf.");
    app.require_subcommand(1);
    // Each command runs from its subcommand's callback during parsing.
    utm::cli::AddPointCommand(app);
    utm::cli::AddConvertCommand(app);
    utm::cli::AddTransferCommand(app);
    utm::cli::AddTransformCommand(app);
    utm::cli::AddCrsCommand(app);

    if (const std::optional<std::string> option = OptionWithEmptyValue(argc, argv)) {
        return Fail(*option + "= gives " + *option + " no value: write " + *option + " VALUE or " +
                    *option + "=VALUE");
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return PrintedToStdout(app, e);
    } catch (const CLI::CallForAllHelp& e) {
        return PrintedToStdout(app, e);
    } catch (const CLI::CallForVersion& e) {
        return PrintedToStdout(app, e);
    } catch (const CLI::ParseError& e) {
        const std::vector<CLI::App*> commands = app.get_subcommands();
        if (commands.empty()) return Fail(WithoutSubcommand(app, argc, argv));
        if (dynamic_cast<const CLI::ExtrasError*>(&e) != nullptr) {
            return Fail(Unexpected(*commands.front(), e));
        }
        return Fail(e.what());
    } catch (const utm::OperationError& e) {
        return Fail(e.what());
    } catch (const utm::ArithmeticError& e) {
        return Fail(std::string("the result cannot be computed: ") + e.what());
    } catch (const std::bad_alloc&) {
        return Fail("there is not enough memory for the run: it was stopped");
    } catch (const std::system_error& e) {
        return Fail("the system refused what the run needs (" + e.code().message() +
                    "): it was stopped");
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    return utm::cli::ExitStatus();
}
