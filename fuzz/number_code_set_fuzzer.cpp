// Number-code files. The first byte of the input chooses the item the codes are for (bits 0-1:
// length 1 to 4; bits 2-3: text, signed, unsigned or bit fields; bits 4-7: the bit count); the
// rest is the file.
#include <cstdint>
#include <string>
#include <string_view>

#include "definition/number_code_set.h"
#include "support/value_conversions.h"
#include "fuzz/fuzz_support.h"

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void CheckTable(const CNumberCodeSet& codes, std::uint32_t length, int type) {
    const CNumberCodeTable* table = codes.Table(0);
    Require(table && !table->m_meanings.empty(), "a loaded table has codes");
    for (const auto& [code, meaning] : table->m_meanings) {
        Require(CheckItemValue(code, length, type), "every code fits the item");
        Require(!meaning.empty() && !IsWhiteSpace(meaning.front()) && !IsWhiteSpace(meaning.back()) &&
                    meaning.find('\t') == std::string::npos,
                "meanings are trimmed fields");
        Require(codes.FindMeaning(0, code) == &meaning, "a code finds its meaning");
        std::string text;
        Require(codes.CodeToMeaning(0, code, text) && text == meaning, "a code converts to its meaning");

        // A meaning converts to the lowest code that has it.
        std::int32_t back = 0;
        Require(codes.MeaningToCode(0, meaning, back), "a meaning converts to a code");
        Require(back <= code && codes.FindMeaning(0, back) && *codes.FindMeaning(0, back) == meaning,
                "a meaning converts to the lowest code that has it");
        std::int32_t parsed = 0;
        codes.ParseCode(parsed, meaning, 0, length, type);
        Require(parsed == back, "a meaning parses as its code");
    }

    // Code bytes become meanings and back for every code of a table that gives them.
    std::string text;
    for (const auto& [code, meaning] : table->m_meanings) text += meaning;
    Require(codes.ReplaceCodes(1, 0, text) && codes.ReplaceCodes(0, 0, text), "a loaded table replaces codes");
    Require(!codes.ReplaceCodes(0, 1, text), "a slot without a table replaces nothing");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint32_t length = 1 + (data[0] & 3u);
    const int kinds[] = {convText, convSigned, convUnsigned, 0};
    int type = kinds[(data[0] >> 2) & 3u];
    if (type == 0) type = 1 + static_cast<int>((data[0] >> 4) % (8 * length - 1));
    WriteFuzzFile("codes.tsv", std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));

    CNumberCodeSet codes;
    codes.Reset();
    int slot = -1;
    if (!codes.LoadTable("codes.tsv", length, type, slot)) {
        Require(codes.m_ok == 0 && codes.m_message.starts_with("At line ") && codes.TableCount() == 0,
                "a failed load names its line and keeps no table");
        return 0;
    }
    Require(slot == 0 && codes.TableCount() == 1 && codes.m_ok == 1, "the first table takes slot 0");
    CheckTable(codes, length, type);

    // A file is read once per set: loading it again gives the same slot.
    int again = -1;
    Require(codes.LoadTable("codes.tsv", length, type, again) && again == 0 && codes.TableCount() == 1,
            "a table loaded again keeps its slot");
    return 0;
}
