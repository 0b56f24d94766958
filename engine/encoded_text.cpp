#include "engine/encoded_text.h"

#include "vocabulary/failure.h"
#include "definition/number_code_set.h"
#include "definition/record_definition.h"
#include "engine/line_format.h"
#include "support/text_codec.h"

CTextCodes::CTextCodes(const CNumberCodeTable& table) {
    for (const auto& [code, meaning] : table.m_meanings) {
        char bytes[4];
        CCode& entry = m_codes.emplace_back(CCode {std::string(bytes, CodeBytes(code, bytes)), &meaning});
        if (!entry.bytes.empty()) m_codeStarts.set(static_cast<std::uint8_t>(entry.bytes[0]));
        // Code 0's bytes are none: its meaning is dropped on the way back.
        if (!entry.bytes.empty() || code == 0) m_meaningStarts.set(static_cast<std::uint8_t>(meaning[0]));
    }
}

void DecodeText(const CTextCodec& codec, const CTextCodes* codes, const CRecordItem& item, std::string_view text,
                CLine& line) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    // Each character gives at most 4 bytes of UTF-8, and at most as many as it has bytes.
    char* out = line.Reserve(4 * text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (codes) {
            const CTextCodes::CCode* code = codes->CodeAt(text.substr(at));
            // A code counts only as whole characters: never the second byte of a character.
            std::size_t end = at;
            if (code) {
                while (end < at + code->bytes.size())
                    end += codec.Encoding().CharacterLength(bytes + end, text.size() - end);
            }
            if (code && end == at + code->bytes.size()) {
                line.Commit(out);
                line.Append(*code->meaning);
                out = line.Reserve(4 * (text.size() - end));
                at = end;
                continue;
            }
        }
        CodecFault fault = CodecFault::none;
        const std::size_t length = codec.Decode(bytes + at, text.size() - at, out, fault);
        if (length == 0) Fail(item.m_name + ": " + codec.FaultText(fault, text, at, at));
        at += length;
    }
    line.Commit(out);
}

void EncodeText(const CTextCodec& codec, const CTextCodes* codes, const CRecordItem& item, std::string_view cell,
                std::string& out) {
    // A character of UTF-8 gives at most 4 bytes, and a code at most 4 for a meaning of one.
    out.resize(4 * cell.size());
    char* to = out.data();
    for (std::size_t at = 0; at < cell.size();) {
        if (codes) {
            if (const CTextCodes::CCode* code = codes->MeaningAt(cell.substr(at))) {
                to = std::copy(code->bytes.begin(), code->bytes.end(), to);
                at += code->meaning->size();
                continue;
            }
        }
        CodecFault fault = CodecFault::none;
        const std::size_t length = codec.Encode(cell.data() + at, cell.size() - at, to, fault);
        if (length == 0) Fail(item.m_name + ": " + codec.FaultText(fault, cell, at, at));
        at += length;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
}
