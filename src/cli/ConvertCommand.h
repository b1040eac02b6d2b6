// utmconv convert
#pragma once

#include <CLI/CLI.hpp>

namespace utm::cli {

/// Adds the `convert` subcommand to `app`.
void AddConvertCommand(CLI::App& app);

}  // namespace utm::cli
