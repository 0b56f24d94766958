// Code table files, alone and as a decryption and encryption pair. The first byte of the input
// chooses which files the pair is given (bit 0: the decryption table, bit 1: the encryption
// table); the rest is the decryption table file, optionally followed by a separator line and the
// encryption table file.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "crypt/code_table_pair.h"
#include "fuzz/fuzz_support.h"

namespace {

// The table a file holds when it is one: its first 256 bytes, each value once.
std::optional<CodeTableBytes> Permutation(std::string_view file) {
    if (file.size() < kCodeTableSize) return std::nullopt;
    CodeTableBytes table {};
    std::array<bool, kCodeTableSize> seen {};
    for (std::size_t i = 0; i < kCodeTableSize; ++i) {
        const auto value = static_cast<std::uint8_t>(file[i]);
        if (seen[value]) return std::nullopt;
        seen[value] = true;
        table[i] = value;
    }
    return table;
}

bool Inverse(const CodeTableBytes& a, const CodeTableBytes& b) {
    for (std::size_t i = 0; i < kCodeTableSize; ++i)
        if (b[a[i]] != i) return false;
    return true;
}

void CheckSingleTable(std::string_view file, const std::optional<CodeTableBytes>& permutation) {
    CCodeTable table;
    table.Reset("Table");
    const bool loaded = table.LoadFile("decrypt.tbl");
    Require(loaded == (file.size() >= kCodeTableSize), "a table loads when the file has 256 bytes");
    if (!loaded) {
        Require(!table.m_message.empty() && !table.HasData(), "a table that fails to load has a message and no data");
        return;
    }
    Require(std::string_view(reinterpret_cast<const char*>(table.Data().data()), kCodeTableSize) ==
                file.substr(0, kCodeTableSize),
            "a table holds the file's first 256 bytes");
    CodeTableBytes inverse {};
    const bool inverted = table.BuildInverse(inverse);
    Require(inverted == permutation.has_value(), "only a permutation has an inverse");
    if (inverted) Require(Inverse(table.Data(), inverse), "the inverse undoes the table");
    else Require(table.m_message.find(" at ") != std::string::npos, "a repeated code is located");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool useDecrypt = data[0] & 1u;
    const bool useEncrypt = data[0] & 2u;
    const std::vector<std::string_view> parts = SplitInput(data + 1, size - 1, 2);
    const std::string_view decryptFile = parts[0];
    const std::string_view encryptFile = parts.size() > 1 ? parts[1] : std::string_view();
    WriteFuzzFile("decrypt.tbl", decryptFile);
    WriteFuzzFile("encrypt.tbl", encryptFile);

    const std::optional<CodeTableBytes> decrypt = Permutation(decryptFile);
    const std::optional<CodeTableBytes> encrypt = Permutation(encryptFile);
    CheckSingleTable(decryptFile, decrypt);

    CCodeTablePair pair;
    pair.Reset();
    const bool loaded = pair.Load(useDecrypt ? "decrypt.tbl" : "", useEncrypt ? "encrypt.tbl" : "");
    bool expected = true;
    if (useDecrypt && !decrypt) expected = false;
    if (useEncrypt && !encrypt) expected = false;
    if (useDecrypt && useEncrypt && expected) expected = Inverse(*decrypt, *encrypt);
    Require(loaded == expected, "a pair loads exactly when its tables are permutations and inverses");
    Require(loaded || !pair.m_message.empty(), "a pair that fails has a message");
    Require(pair.m_ok == (loaded && (useDecrypt || useEncrypt) ? 1 : 0), "a pair is in use when it has a table");

    // Decrypting then encrypting gives every byte back; a pair not in use copies.
    std::array<std::uint8_t, kCodeTableSize> bytes {};
    for (std::size_t i = 0; i < kCodeTableSize; ++i) bytes[i] = static_cast<std::uint8_t>(i);
    std::array<std::uint8_t, kCodeTableSize> plain {};
    pair.Transform(plain.data(), 0, plain.size(), bytes.data());
    if (loaded && useDecrypt) Require(plain == *decrypt, "decryption goes through the decryption table");
    if (loaded && useEncrypt && !useDecrypt) Require(Inverse(plain, *encrypt), "a missing table is the inverse");
    if (pair.m_ok == 0) Require(plain == bytes, "a pair not in use copies");
    pair.Transform(plain.data(), 1, plain.size(), plain.data());
    Require(plain == bytes, "encryption undoes decryption");
    return 0;
}
