#pragma once
#include <string>

#include "crypt/code_table.h"

// Code tables for tests.
CodeTableBytes IdentityTable();
// A permutation of the 256 byte values, the same for the same seed.
CodeTableBytes ShuffledTable(unsigned seed);
CodeTableBytes InverseTable(const CodeTableBytes& table);
std::string Bytes(const CodeTableBytes& table);
