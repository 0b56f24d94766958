#pragma once
#include <system_error>

// The file exception cause number of an error the standard library reports.
int CauseFromErrorCode(const std::error_code& error);
