#pragma once
#include <string>

#include "crypt/code_table_pair.h"
#include "definition/file_info_section.h"
#include "definition/number_code_set.h"
#include "definition/record_definition.h"
#include "definition/record_index_list.h"
#include "support/named_item.h"

// Everything the program knows about one kind of binary file, loaded from a target info file
// and the files it names.
class CTargetInfo : public CFileItem {
public:
    explicit CTargetInfo(int slot = 1) : m_slot(slot) {}

    void Reset(const std::string& name);
    bool Load(const std::string& path);
    bool CheckReady();
    std::string DisplayName() const;
    // Word 7 followed by the slot number.
    std::string DefaultName() const;

    int m_slot;
    CFileInfoSection m_fileInfo;
    CRecordDefinition m_recordDefinition;
    CRecordIndexList m_indexList;
    CCodeTablePair m_codeTables;
    CNumberCodeSet m_numberCodes;

private:
    bool FailWith(const CNamedItem& component);
};
