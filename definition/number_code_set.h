#pragma once
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/table_file_reader.h"

// The bytes a code stands for in text items: its low-order bytes, most significant first, as
// many as its range needs, up to the first zero byte. Returns their count.
std::size_t CodeBytes(std::int32_t code, char (&bytes)[4]);

// Codes and their meanings, read from one number-code file.
class CNumberCodeTable {
public:
    std::map<std::int32_t, std::string> m_meanings;
    // With an encoding declared for text items: the line-noted failure of the first meaning
    // the encoding cannot express, which the table's use by a text item fails with.
    std::string m_inexpressible;
};

// Every number-code file a record definition names, loaded once per full path. Items keep the
// index of their table in their number-code slots.
class CNumberCodeSet : public CTableFileReader {
public:
    void Reset();
    bool LoadTable(const std::string& path, std::uint32_t itemLength, int conversionType, int& slot);

    bool CodeToMeaning(int index, std::int32_t code, std::string& text) const;
    bool MeaningToCode(int index, std::string_view text, std::int32_t& code) const;
    void ParseCode(std::int32_t& code, std::string_view text, int index, std::uint32_t itemLength,
                   int conversionType) const;
    bool ReplaceCodes(int direction, int index, std::string& text) const;

    // The meaning of a code, or null: the lookup of the conversion loops, free of copies.
    const std::string* FindMeaning(int index, std::int32_t code) const;
    std::size_t TableCount() const { return m_tables.size(); }
    const CNumberCodeTable* Table(int index) const;

    std::map<std::string, int> m_files;
    std::vector<std::unique_ptr<CNumberCodeTable>> m_tables; // by table index
    const CTextCodec* m_textCodec = nullptr; // the text items' declared encoding, set by the owner

private:
    // One load, reporting only its own outcome in the ok flag and message.
    bool LoadFile(const std::string& path, std::uint32_t itemLength, int conversionType, int& slot);
    // False, with the failure, when text items cannot use the table: a meaning is inexpressible.
    bool UsableFor(const CNumberCodeTable& table, int conversionType);
    // Notes the meaning of the current line when the text items' encoding cannot express it.
    void NoteInexpressible(CNumberCodeTable& table, std::string_view meaning) const;
};
