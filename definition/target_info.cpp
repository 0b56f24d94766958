#include "definition/target_info.h"

#include "vocabulary/messages.h"

void CTargetInfo::Reset(const std::string& name) {
    CFileItem::Reset(name);
    m_fileInfo.Reset(name);
    m_recordDefinition.Reset();
    m_indexList.Reset();
    m_codeTables.Reset();
    m_numberCodes.Reset();
    m_recordDefinition.m_fileCodec = nullptr;
    m_numberCodes.m_fileCodec = nullptr;
    m_numberCodes.m_textCodec = nullptr;
}

std::string CTargetInfo::DefaultName() const { return Word(wFileInfo) + std::to_string(m_slot); }

bool CTargetInfo::FailWith(const CNamedItem& component) {
    m_message = component.ComposeError();
    m_ok = 0;
    return false;
}

bool CTargetInfo::Load(const std::string& path) {
    m_name = DefaultName();
    Reset(m_name);
    const CFileInfoSection& info = m_fileInfo;
    if (!m_fileInfo.Load(path, m_name)) return FailWith(m_fileInfo);
    m_name = info.m_label;
    m_recordDefinition.m_fileCodec = info.m_fileCodec;
    m_numberCodes.m_fileCodec = info.m_fileCodec;
    m_numberCodes.m_textCodec = info.m_textCodec;
    if (!m_recordDefinition.Load(info.m_recordDefinitionPath, info.m_recordSize, info.m_textDelimiter, m_numberCodes))
        return FailWith(m_recordDefinition);
    m_fileInfo.m_infoText += "\n" + std::to_string(m_numberCodes.TableCount());
    if (!m_codeTables.Load(info.m_decryptTablePath, info.m_encryptTablePath)) return FailWith(m_codeTables);
    if (!info.m_indexListPath.empty() && !m_indexList.Load(info.m_indexListPath)) return FailWith(m_indexList);
    m_ok = 1;
    m_message.clear();
    return true;
}

bool CTargetInfo::CheckReady() {
    m_ok = 0;
    m_message.clear();
    if (!m_fileInfo.m_ok) return FailWith(m_fileInfo);
    if (!m_recordDefinition.m_ok) return FailWith(m_recordDefinition);
    // Components not in use have no message and pass.
    const CNamedItem* optional[] = {&m_codeTables, &m_numberCodes, &m_indexList};
    for (const CNamedItem* component : optional)
        if (!component->m_ok && !component->m_message.empty()) return FailWith(*component);
    m_ok = 1;
    return true;
}

std::string CTargetInfo::DisplayName() const { return m_fileInfo.m_label.empty() ? m_name : m_fileInfo.m_label; }
