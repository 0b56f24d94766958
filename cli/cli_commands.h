#pragma once

#include "cli/cli_options.h"

// Runs one command of the command line and returns the exit status: 0 for End or Put File,
// 1 for Canceled, Error or a target that is not ready.
int RunCliCommand(const CCliOptions& options);
