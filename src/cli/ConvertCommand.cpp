#include "cli/ConvertCommand.h"

namespace utm::cli {

void AddConvertCommand(CLI::App& app) {
    (void)app;
}

}  // namespace utm::cli
