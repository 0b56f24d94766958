#include "tests/crypt/code_table_samples.h"

#include <algorithm>
#include <random>

CodeTableBytes IdentityTable() {
    CodeTableBytes table {};
    for (unsigned i = 0; i < kCodeTableSize; ++i) table[i] = static_cast<std::uint8_t>(i);
    return table;
}

CodeTableBytes ShuffledTable(unsigned seed) {
    CodeTableBytes table = IdentityTable();
    std::mt19937 random(seed);
    std::shuffle(table.begin(), table.end(), random);
    return table;
}

CodeTableBytes InverseTable(const CodeTableBytes& table) {
    CodeTableBytes inverse {};
    for (unsigned i = 0; i < kCodeTableSize; ++i) inverse[table[i]] = static_cast<std::uint8_t>(i);
    return inverse;
}

std::string Bytes(const CodeTableBytes& table) { return std::string(table.begin(), table.end()); }
