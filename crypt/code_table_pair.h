#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "crypt/code_table.h"
#include "support/named_item.h"

// The decryption and encryption tables of a target. Either table file may be given; a missing
// one is derived as the inverse of the other, and two given tables must be inverses of each
// other. With no file given the pair is not in use (ok flag 0, empty message).
class CCodeTablePair : public CNamedItem {
public:
    // Names the pair and its tables in the current vocabulary and empties them.
    void Reset();
    // False only on a failure; the message then holds the composed text.
    bool Load(const std::string& decryptPath, const std::string& encryptPath);
    // destination[k] = table[source[k]] for k < length, through the encryption table when
    // encrypt is non-zero, else the decryption table. The buffers may be the same. A pair not
    // in use copies the bytes unchanged.
    void Transform(std::uint8_t* destination, int encrypt, std::size_t length,
                   const std::uint8_t* source) const noexcept;

    const CCodeTable& Table(int encrypt) const { return encrypt ? m_encryptTable : m_decryptTable; }

    CCodeTable m_decryptTable;
    CCodeTable m_encryptTable;

private:
    bool LoadTable(CCodeTable& table, const std::string& path, CCodeTable& other, const std::string& otherPath);
    bool CheckConsistency();
};
