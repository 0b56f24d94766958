#pragma once
#include <string>

class CCodeTablePair;

// Writes the inverse of one table of the pair as a new time-stamped code table file beside
// that table's file: the inverse of the encryption table when fromEncryptTable is non-zero,
// else of the decryption table. The inverse is the other table, already held by the pair.
// Returns the text for the message area: the output path, or an Error text.
std::string WriteInverse(const CCodeTablePair& pair, int fromEncryptTable);
