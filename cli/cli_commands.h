#pragma once

#include "cli/cli_options.h"

// Runs one command of the command line and returns the exit status: 0 for End or Put File (for
// check: a report that finds nothing), 1 for Canceled, Error, a target that is not ready or a
// check that finds something, 2 for options the target does not allow.
int RunCliCommand(const CCliOptions& options);
