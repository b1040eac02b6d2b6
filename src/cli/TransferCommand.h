// utmconv transfer
#pragma once

#include <CLI/CLI.hpp>

namespace utm::cli {

/// Adds the `transfer` subcommand to `app`.
void AddTransferCommand(CLI::App& app);

}  // namespace utm::cli
