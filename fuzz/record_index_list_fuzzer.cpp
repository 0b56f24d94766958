// Record index list files. The input is the file.
#include <cstdint>
#include <string_view>
#include <vector>

#include "definition/record_index_list.h"
#include "definition/target_info.h"
#include "engine/text_to_binary.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteFuzzFile("list.tsv", std::string_view(reinterpret_cast<const char*>(data), size));
    CRecordIndexList list;
    if (!list.Load("list.tsv")) {
        // The entries read before the failing line may stay: nothing uses a list that is not ok.
        Require(list.m_ok == 0 && list.m_message.starts_with("At line "), "a failed load names its line");
        return 0;
    }
    Require(list.m_ok == 1 && list.EntryCount() > 0 && list.m_count == list.EntryCount(), "a loaded list has entries");
    Require(list.m_basePoint == 0 || list.m_basePoint == 1, "the base point is 0 or 1");
    for (std::uint32_t i = 0; i < list.EntryCount(); ++i)
        Require(list.EntryAt(i) <= 2147483647u - static_cast<std::uint32_t>(list.m_basePoint),
                "entries are record numbers");

    // Past the end there is no entry, and the user is told.
    const std::size_t boxes = BoxesShown();
    Require(list.EntryAt(static_cast<std::uint32_t>(list.EntryCount())) == CRecordIndexList::kNoEntry &&
                BoxesShown() == boxes + 1,
            "an entry past the end is reported");

    // The list the program writes of these entries reads back as the same entries.
    CTargetInfo target;
    target.m_fileInfo.m_textFilePath = FuzzFolder() + "text.csv";
    WriteIndexList(target, list.m_entries);
    CRecordIndexList written;
    Require(written.Load(IndexListPath(target.m_fileInfo.m_textFilePath)), "a written list loads");
    Require(written.m_basePoint == 0 && written.m_entries == list.m_entries, "a written list keeps its entries");
    return 0;
}
