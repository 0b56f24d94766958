#include "crypt/code_table_pair.h"

#include <cstring>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"

void CCodeTablePair::Reset() {
    CNamedItem::Reset(Word(wManageCrypt));
    m_decryptTable.Reset(Word(wDecrypt));
    m_encryptTable.Reset(Word(wEncrypt));
}

bool CCodeTablePair::Load(const std::string& decryptPath, const std::string& encryptPath) {
    m_ok = 0;
    m_message.clear();
    // Nothing of an earlier load may survive into this one, least of all a usable table.
    m_decryptTable.Reset("");
    m_encryptTable.Reset("");
    try {
        if (decryptPath.empty() && encryptPath.empty()) return true;
        if (!decryptPath.empty() && !LoadTable(m_decryptTable, decryptPath, m_encryptTable, encryptPath))
            return false;
        if (!encryptPath.empty() && !LoadTable(m_encryptTable, encryptPath, m_decryptTable, decryptPath))
            return false;
        m_ok = 1;
        if (!decryptPath.empty() && !encryptPath.empty()) return CheckConsistency();
        return true;
    } catch (...) {
        m_ok = 0;
        m_message = FailureText();
        return false;
    }
}

bool CCodeTablePair::LoadTable(CCodeTable& table, const std::string& path, CCodeTable& other,
                               const std::string& otherPath) {
    CodeTableBytes inverse{};
    if (table.LoadFile(path) && table.BuildInverse(inverse)) {
        if (otherPath.empty()) other.SetData(inverse);
        return true;
    }
    m_ok = 0;
    m_message = table.ComposeError();
    return false;
}

bool CCodeTablePair::CheckConsistency() {
    const CodeTableBytes& decrypt = m_decryptTable.Data();
    const CodeTableBytes& encrypt = m_encryptTable.Data();
    for (unsigned i = 0; i < kCodeTableSize; ++i) {
        if (encrypt[decrypt[i]] == i) continue;
        m_ok = 0;
        m_decryptTable.MarkPosition(i);
        m_encryptTable.MarkPosition(decrypt[i]);
        m_message = Word(wInconsistent) + "\r\n" + m_decryptTable.m_message + "\r\n" + m_encryptTable.m_message;
        return false;
    }
    return true;
}

void CCodeTablePair::Transform(std::uint8_t* destination, int encrypt, std::size_t length,
                               const std::uint8_t* source) const noexcept {
    if (m_ok == 0) {
        if (length > 0 && destination != source) std::memmove(destination, source, length);
        return;
    }
    const std::uint8_t* table = Table(encrypt).Data().data();
    for (std::size_t k = 0; k < length; ++k) destination[k] = table[source[k]];
}
