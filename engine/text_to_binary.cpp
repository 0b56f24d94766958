#include "engine/text_to_binary.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/record_seek.h"
#include "support/value_conversions.h"
#include "platform/file.h"
#include "platform/file_exception.h"
#include "platform/system.h"
#include "support/paths.h"
#include "support/table_file_reader.h"

namespace {

int SlotOf(const CRecordItem& item, std::uint32_t column) {
    return column < static_cast<std::uint32_t>(kNumberCodeSlots) ? item.m_numberCodes[column] : -1;
}

bool IsBitCount(int conversionType) {
    return conversionType != convText && conversionType != convSigned && conversionType != convUnsigned;
}

void StoreText(const CNumberCodeSet& codes, const CRecordItem& item, std::uint8_t* bytes, std::string_view field,
               std::string& scratch) {
    const auto length = static_cast<std::size_t>(item.m_length);
    std::memset(bytes, 0, length);
    if (field.empty()) return;
    const int slot = item.m_numberCodes[0];
    if (slot >= 0) {
        scratch.assign(field);
        if (!codes.ReplaceCodes(1, slot, scratch)) Fail(Word(wCodeReplacement));
        field = scratch;
    }
    const std::size_t n = std::min(length, field.size());
    if (item.m_readDirection == readNormal) {
        std::memcpy(bytes, field.data(), n);
        return;
    }
    // "R" swaps each pair of bytes. An odd last character pairs with the zero after it, so that
    // it reads back; only the last byte of an odd length has no partner and is never read.
    for (std::size_t k = 0; k < n && k + 1 < length; k += 2) {
        bytes[k + 1] = static_cast<std::uint8_t>(field[k]);
        if (k + 1 < n) bytes[k] = static_cast<std::uint8_t>(field[k + 1]);
    }
}

// The low bytes of a value: "N" puts the most significant first (and reverses the bits of a
// single byte), "R" the least significant.
void StoreValue(std::uint8_t* bytes, std::uint32_t length, bool normal, std::uint32_t value) {
    if (length == 1) {
        const auto byte = static_cast<std::uint8_t>(value);
        bytes[0] = normal ? ReverseBits(byte) : byte;
        return;
    }
    if (normal) {
        for (std::uint32_t i = length; i-- > 0; value >>= 8) bytes[i] = static_cast<std::uint8_t>(value);
    } else {
        for (std::uint32_t i = 0; i < length; ++i, value >>= 8) bytes[i] = static_cast<std::uint8_t>(value);
    }
}

// How the fields of a line become a record, prepared once from the target's definition: the
// byte positions and kinds of the items, and the codes of the number-code tables by meaning.
class CRecordFormat {
public:
    CRecordFormat(const CTargetInfo& target, std::uint32_t recordSize);

    // Builds the record; filler items keep the bytes the buffer holds. Throws the failure text.
    void Build(std::uint8_t* record, const std::vector<std::string_view>& fields, std::string& scratch) const;

private:
    enum StepKind : std::uint8_t { stepText, stepWholeUnsigned, stepNumber, stepFailure };

    struct CStep {
        std::uint32_t offset;
        std::uint32_t length;
        StepKind kind;
        bool normal;    // read direction "N"
        bool fieldsFit; // the bit fields fit the item's bits
        int failure;    // the word a failure step raises
        const CRecordItem* item;
    };

    // MeaningToCode of the number-code set, looked up by hash.
    bool FindCode(int slot, std::string_view meaning, std::int32_t& code) const;
    // ParseCode of the number-code set: a meaning of the slot's table or a number, that fits the item.
    std::int32_t ParseField(std::string_view field, int slot, std::uint32_t length, int conversionType) const;

    const CNumberCodeSet& m_codes;
    std::size_t m_columnCount;
    std::vector<CStep> m_steps;
    // By table index: the code of each meaning, the lowest code where several share one.
    std::vector<std::unordered_map<std::string_view, std::int32_t>> m_codesByMeaning;
    bool m_walksToSize = false;
};

CRecordFormat::CRecordFormat(const CTargetInfo& target, std::uint32_t recordSize)
    : m_codes(target.m_numberCodes),
      m_columnCount(static_cast<std::size_t>(target.m_recordDefinition.m_totalColumnCount)) {
    for (std::size_t index = 0; index < m_codes.TableCount(); ++index) {
        auto& codes = m_codesByMeaning.emplace_back();
        for (const auto& [code, meaning] : m_codes.Table(static_cast<int>(index))->m_meanings)
            codes.emplace(meaning, code);
    }

    std::uint32_t p = 0;
    for (const CRecordItem& item : target.m_recordDefinition.m_items) {
        if (p >= recordSize) break;
        const auto length = static_cast<std::uint32_t>(item.m_length);
        CStep step {p, length, stepNumber, item.m_readDirection == readNormal, true, 0, &item};
        // An item reaching past the record would write beyond it.
        if (item.m_length < 1 || length > recordSize - p) {
            step.kind = stepFailure;
            step.failure = wConvert;
            m_steps.push_back(step);
            return;
        }
        p += length;
        if (item.m_itemCount == 0) continue;
        const int type = item.m_conversionType;
        if (type == convText) {
            step.kind = stepText;
        } else if (length > kMaxNumericItemLength) {
            step.kind = stepFailure;
            step.failure = wSystem;
        } else if (type == convUnsigned && length == 4) {
            step.kind = stepWholeUnsigned;
        } else if (IsBitCount(type) && item.m_itemCount >= 2) {
            step.fieldsFit = BitFieldsFit(length, static_cast<std::uint32_t>(type),
                                          static_cast<std::uint32_t>(item.m_itemCount));
        }
        m_steps.push_back(step);
    }
    m_walksToSize = p == recordSize;
}

bool CRecordFormat::FindCode(int slot, std::string_view meaning, std::int32_t& code) const {
    if (slot < 0 || static_cast<std::size_t>(slot) >= m_codesByMeaning.size()) return false;
    const auto& codes = m_codesByMeaning[static_cast<std::size_t>(slot)];
    const auto found = codes.find(meaning);
    if (found == codes.end()) return false;
    code = found->second;
    return true;
}

std::int32_t CRecordFormat::ParseField(std::string_view field, int slot, std::uint32_t length,
                                       int conversionType) const {
    std::int32_t value = 0;
    if (!FindCode(slot, field, value) && !ParseSigned(field, value, parseAny, 0, 0)) Fail(Word(wCodeReplacement));
    if (!CheckItemValue(value, length, conversionType)) Fail(Word(wRange));
    return value;
}

void CRecordFormat::Build(std::uint8_t* record, const std::vector<std::string_view>& fields,
                          std::string& scratch) const {
    if (fields.size() != m_columnCount) Fail(Word(wItemNum));
    std::size_t next = 0;
    const auto takeField = [&]() -> std::string_view {
        if (next >= fields.size()) Fail(Word(wItemNum));
        return fields[next++];
    };

    for (const CStep& step : m_steps) {
        const CRecordItem& item = *step.item;
        std::uint8_t* bytes = record + step.offset;
        if (step.kind == stepFailure) Fail(Word(step.failure));
        const std::string_view field = takeField();
        const int slot = item.m_numberCodes[0];
        std::uint32_t value = 0;
        switch (step.kind) {
        case stepText:
            StoreText(m_codes, item, bytes, field, scratch);
            continue;
        case stepWholeUnsigned: {
            // Every value of 32 bits, and -1 for all bits set.
            std::int32_t code = 0;
            if (FindCode(slot, field, code)) value = static_cast<std::uint32_t>(code);
            else if (!ParseUnsigned(field, value, false, 0, 0)) Fail(Word(wRange));
            break;
        }
        default: {
            const int type = item.m_conversionType;
            value = static_cast<std::uint32_t>(ParseField(field, slot, step.length, type));
            if (!IsBitCount(type) || item.m_itemCount < 2) break;
            const auto bits = static_cast<std::uint32_t>(type);
            const auto count = static_cast<std::uint32_t>(item.m_itemCount);
            if (!step.fieldsFit) Fail(Word(wItemNum));
            // Field k lands above the k fields before it; bits beyond 32 are lost.
            for (std::uint32_t k = 1; k < count; ++k) {
                const std::int32_t code = ParseField(takeField(), SlotOf(item, k), step.length, type);
                if (bits * k < 32) value += static_cast<std::uint32_t>(code) << (bits * k);
            }
            break;
        }
        }
        StoreValue(bytes, step.length, step.normal, value);
    }
    if (!m_walksToSize) Fail(Word(wConvert));
}

// The full path a text file path stands for, or nothing when the path is unusable: the reader's
// SetPath refuses a usable path only when no file is there.
std::string UsableFullPath(const std::string& path) {
    const std::string fullPath = NormalizePath(path, false);
    std::string lengthText;
    return CheckPathLength(fullPath, lengthText) ? fullPath : std::string();
}

void AppendUnsigned(std::string& text, std::uint32_t value) {
    char digits[10];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, static_cast<std::size_t>(end - digits));
}

} // namespace

void LineToRecord(CTargetInfo& target, std::uint8_t* record, std::uint32_t recordSize,
                  const std::vector<std::string_view>& fields) {
    const CRecordFormat format(target, recordSize);
    std::string scratch;
    format.Build(record, fields, scratch);
}

std::string IndexListPath(const std::string& textPath) {
    return PathStem(textPath) + "-BRecordIndexList.tsv";
}

void WriteIndexList(CTargetInfo& target, const std::vector<std::uint32_t>& writtenIndices) {
    // A list written whole or not at all: a failure keeps the list that was there.
    CReplacementFile file(IndexListPath(target.m_fileInfo.m_textFilePath));
    // The file counts records from 0: its base point line. Lines end with CR LF, as text files do.
    std::string text = "// " + Word(wBasePointOfBRecordIndex) + "\r\n0\r\n// " + Word(wBRecordIndexList) + "\r\n";
    constexpr std::size_t kChunk = 64 * 1024;
    for (const std::uint32_t index : writtenIndices) {
        AppendUnsigned(text, index);
        text += "\r\n";
        if (text.size() >= kChunk) {
            file.Write(text);
            text.clear();
        }
    }
    file.Write(text);
    file.Commit();
}

bool ConvertToBinary(CTargetInfo& target, CFile& binary, bool firstColumnIsIndex, bool writeIndexList,
                     CProgress& progress) {
    CTableFileReader reader;
    try {
        const std::string jobTitle = target.m_message;
        const CFileInfoSection& info = target.m_fileInfo;
        const auto recordSize = static_cast<std::uint32_t>(info.m_recordSize);
        const bool encrypt = UsesCodeTables(target);
        const auto plain = std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t {recordSize} + 1);
        const auto stored =
            encrypt ? std::make_unique_for_overwrite<std::uint8_t[]>(std::size_t {recordSize} + 1) : nullptr;
        plain[recordSize] = 0;
        if (encrypt) stored[recordSize] = 0;

        reader.Reset("Text");
        reader.m_delimiter = info.m_textDelimiter;
        if (!reader.SetPath(info.m_textFilePath)) {
            // A missing text file fails as every file that cannot be opened: with its full path.
            const std::string fullPath = UsableFullPath(info.m_textFilePath);
            Fail(fullPath.empty() ? reader.m_message : Word(wCantOpenFile) + "\r\n" + fullPath);
        }
        reader.Open();

        const bool byIndex = UsesIndexList(target);
        const auto total = static_cast<std::uint32_t>(byIndex ? target.m_indexList.EntryCount()
                                                              : static_cast<std::size_t>(info.m_recordCount));
        if (!byIndex) {
            const auto start = static_cast<std::uint64_t>(info.m_startPosition);
            if (binary.Seek(info.m_startPosition, CFile::begin) != start)
                Fail(Word(wCantSeekFilePosition) + "\r\n" + info.m_binaryFilePath);
        }
        progress.Start(0, total, 1, jobTitle, true);

        const bool keepFillers = target.m_recordDefinition.m_filler == 1;
        const CRecordFormat format(target, recordSize);
        std::vector<std::uint32_t> writtenIndices;
        std::string scratch;
        std::uint32_t written = 0;
        std::uint32_t cursor = 0;
        bool stopped = false;
        while (reader.ReadNext(false)) {
            if (progress.PollCancel()) {
                target.m_message = Word(wStop);
                stopped = true;
                break;
            }
            if (firstColumnIsIndex) {
                std::int32_t index = 0;
                if (!ParseSigned(reader.m_fields[0], index, parseRange, 0, 2147483647)) Fail(Word(wRange));
                if (writeIndexList) writtenIndices.push_back(static_cast<std::uint32_t>(index));
                SeekRecord(target, binary, static_cast<std::uint32_t>(index));
            } else if (byIndex) {
                if (cursor >= total) break;
                SeekIndexEntry(target, binary, cursor);
            } else if (written >= total) {
                // A line beyond the record count would land after the data end, where the file
                // may hold bytes that are no record.
                Fail(Word(wCantWriteFile) + "\r\n" + info.m_textFilePath);
            }

            if (keepFillers) {
                // The existing record supplies the bytes of the filler items.
                std::uint8_t* existing = encrypt ? stored.get() : plain.get();
                if (binary.Read(existing, recordSize) != recordSize)
                    Fail(Word(wCantReadFile) + "\r\n" + info.m_binaryFilePath);
                binary.Seek(-static_cast<std::int64_t>(recordSize), CFile::current);
                if (encrypt) target.m_codeTables.Transform(plain.get(), 0, recordSize, stored.get());
            }
            format.Build(plain.get(), reader.m_fields, scratch);
            const std::uint8_t* record = plain.get();
            if (encrypt) {
                target.m_codeTables.Transform(stored.get(), 1, recordSize, plain.get());
                record = stored.get();
            }
            binary.Write(record, recordSize);
            ++written;
            // The display refreshes now and then; the records written so far go to the system then.
            if (progress.Update(written)) binary.Flush();
        }

        binary.Flush();
        reader.Close();
        if (stopped) {
            progress.Close();
            return false;
        }
        if (!firstColumnIsIndex && written != total)
            Fail(Word(wCantWriteFile) + "\r\n" + info.m_textFilePath);
        if (writeIndexList) WriteIndexList(target, writtenIndices);
        target.m_message.clear();
        progress.Close();
        return true;
    } catch (...) {
        // The records written before the failure stay written; the caller closes the file.
        reader.Close();
        target.m_message = reader.m_lineNote + " " + FailureText();
        progress.Close();
        return false;
    }
}
