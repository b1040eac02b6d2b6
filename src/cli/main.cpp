// utmconv: the command-line companion of the UTM desktop program.
#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <string>

#include "cli/CliSupport.h"
#include "cli/ConvertCommand.h"
#include "cli/PointCommand.h"
#include "cli/TransferCommand.h"
#include "geodesy/ArithmeticError.h"

namespace {

/// CLI11 messages can span lines; utmconv reports every failure on one line.
std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

int Fail(const std::string& message) {
    std::fprintf(stderr, "utmconv: %s\n", OneLine(message).c_str());
    return utm::cli::kFailureExit;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "utmconv: convert coordinates between latitude/longitude and Transverse Mercator grids"};
    app.set_version_flag("--version", std::string("utmconv ") + UTM_VERSION);
    app.footer(
        "Exit status: 0 all done (warnings on stderr possible), 1 done with points that could "
        "not be computed left out or marked (--on-error skip or mark), 2 nothing done.\n"
        "DATAFILE - reads the standard input, OUTFILE - writes the standard output.");
    app.require_subcommand(1);
    // Each command runs from its subcommand's callback during parsing.
    utm::cli::AddPointCommand(app);
    utm::cli::AddConvertCommand(app);
    utm::cli::AddTransferCommand(app);
    utm::cli::AddTransformCommand(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForAllHelp& e) {
        return app.exit(e);
    } catch (const CLI::CallForVersion& e) {
        return app.exit(e);
    } catch (const CLI::ParseError& e) {
        return Fail(e.what());
    } catch (const utm::OperationError& e) {
        return Fail(e.what());
    } catch (const utm::ArithmeticError& e) {
        return Fail(std::string("the result cannot be computed: ") + e.what());
    } catch (const std::exception& e) {
        return Fail(e.what());
    }
    return utm::cli::ExitStatus();
}
