#pragma once
#include <string>

class CCodeTablePair;
class CProgress;

// Passes a whole binary file through one table of the pair (the encryption table when encrypt
// is non-zero, else the decryption table) into a new time-stamped file beside it, under the
// progress display. The input is never changed. Returns the text for the message area: the
// output path, prefixed by word 29 when the user stopped the run, or an Error text.
std::string ConvertBinaryFile(const CCodeTablePair& pair, int encrypt, const std::string& path, CProgress& progress);
