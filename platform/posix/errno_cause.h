#pragma once

// The file exception cause number of a system error number.
int CauseFromErrno(int error);
