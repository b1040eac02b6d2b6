#include "cli/TransferCommand.h"

namespace utm::cli {

void AddTransferCommand(CLI::App& app) {
    (void)app;
}

}  // namespace utm::cli
