#include "app/preview_model.h"

#include <algorithm>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/paths.h"
#include "engine/record_seek.h"
#include "app/app_state.h"
#include "app/job_driver.h"

namespace {
const std::vector<CPreviewColumn> kNoColumns;

// A path of the target's files as the loads resolve it: as written when it is full, else under
// the program's folder. Empty for what names no file.
std::string LoadedPath(const std::string& path) {
    CFileItem item;
    return item.SetPath(path) ? item.FullPath() : std::string();
}
}

CPreviewModel::CPreviewModel(const CAppState& app) : m_app(app) {}

CPreviewModel::~CPreviewModel() = default;

void CPreviewModel::Open(const CPreviewSource& source) {
    m_source = source;
    Reload();
}

void CPreviewModel::Reload() {
    m_preview.reset();
    m_pages.clear();
    m_pagesRead = 0;
    m_failure.clear();
    m_target = std::make_unique<CTargetInfo>();
    CTargetInfo& target = *m_target;
    target.Load(m_source.targetPath);
    // A list the main window loaded in place of the target's, or none where it cleared it.
    if (target.m_ok && m_source.indexListPath && *m_source.indexListPath != target.m_fileInfo.m_indexListPath) {
        target.m_fileInfo.m_indexListPath = *m_source.indexListPath;
        target.m_indexList.Reset();
        if (!m_source.indexListPath->empty() && !target.m_indexList.Load(*m_source.indexListPath)) {
            m_failure = Word(wCanNotUse) + "\r\n" + target.m_indexList.ComposeError();
            return;
        }
    }
    if (!target.CheckReady()) {
        m_failure = target.m_message.empty() ? Word(wCanNotUse) : target.m_message;
        return;
    }
    // The binary file as the check of the round trip takes it: the path completed, then opened
    // for reading once to see that it can be.
    std::string binary = m_source.binaryPath.empty() ? target.m_fileInfo.m_binaryFilePath : m_source.binaryPath;
    std::string text = target.m_fileInfo.m_textFilePath;
    ResolvePaths(binary, text);
    const std::string error = CheckInputFile(0, binary);
    if (!error.empty()) {
        m_failure = Word(wCanceled) + "\r\n" + error;
        return;
    }
    target.m_fileInfo.m_binaryFilePath = binary;
    m_preview = std::make_unique<CRecordPreview>(target);
    // A binary file too short for even the first record shows nothing, as Binary => Text
    // converts nothing of it.
    if (m_preview->Count() > 0) {
        const CPreviewRecord& first = Row(0);
        if (m_failure.empty() && first.bytes.empty() && !first.failure.empty()) m_failure = JobFailure(first.failure);
    }
    if (!m_failure.empty()) m_preview.reset();
}

std::string CPreviewModel::JobFailure(const std::string& failure) const {
    return WordThenSpace(wError) + "[ " + m_app.m_labels->Caption(ctlBinaryToText) + " ]\r\nText" +
        SpaceWordPair(wFile, wCanNotUse) + "\r\n" + Word(wError) + " " + failure;
}

std::string CPreviewModel::Title() const {
    if (m_target && !m_target->m_fileInfo.m_label.empty()) return m_target->m_fileInfo.m_label;
    return PathPart(m_source.targetPath, partNameExtension);
}

std::uint32_t CPreviewModel::RowCount() const { return m_preview ? m_preview->Count() : 0; }

const std::vector<CPreviewColumn>& CPreviewModel::Columns() const {
    return m_preview ? m_preview->Columns() : kNoColumns;
}

std::uint32_t CPreviewModel::RecordSize() const {
    return m_preview ? static_cast<std::uint32_t>(m_target->m_fileInfo.m_recordSize) : 0;
}

std::string CPreviewModel::HeaderLine() const {
    return m_preview ? m_target->m_recordDefinition.m_headerLine : std::string();
}

std::string CPreviewModel::Delimiter() const {
    return m_preview ? m_target->m_recordDefinition.m_textDelimiter : std::string();
}

const CPreviewRecord& CPreviewModel::Row(std::uint32_t row) {
    if (!m_preview || row >= m_preview->Count()) return m_empty;
    const std::uint32_t first = row - row % kPageSize;
    auto page = std::find_if(m_pages.begin(), m_pages.end(), [&](const CPage& p) { return p.first == first; });
    if (page == m_pages.end()) {
        if (m_pages.size() < kPagesKept) {
            page = m_pages.emplace(m_pages.end());
        } else {
            page = std::min_element(m_pages.begin(), m_pages.end(),
                                    [](const CPage& a, const CPage& b) { return a.lastUse < b.lastUse; });
        }
        page->first = first;
        try {
            m_preview->Read(first, kPageSize, page->records);
            ++m_pagesRead;
        } catch (...) {
            // The binary file went away or was locked since the preview was loaded.
            m_failure = JobFailure(" " + FailureText());
            m_pages.erase(page);
            return m_empty;
        }
    }
    page->lastUse = ++m_uses;
    return page->records[row - first];
}

std::string CPreviewModel::RowTitle(std::uint32_t row) {
    const CPreviewRecord& record = Row(row);
    std::string title = std::to_string(row + 1);
    if (m_preview && UsesIndexList(*m_target) && !record.bytes.empty())
        title += ": " + std::to_string(record.recordIndex);
    return title;
}

std::vector<std::string> CPreviewModel::WatchedFiles() const {
    std::vector<std::string> files {m_source.targetPath};
    if (!m_target) return files;
    const CFileInfoSection& info = m_target->m_fileInfo;
    for (const std::string* path : {&info.m_recordDefinitionPath, &info.m_decryptTablePath, &info.m_encryptTablePath,
                                    &info.m_indexListPath, &info.m_binaryFilePath}) {
        const std::string full = path->empty() ? std::string() : LoadedPath(*path);
        if (!full.empty()) files.push_back(full);
    }
    for (const auto& [path, index] : m_target->m_numberCodes.m_files) files.push_back(LoadedPath(path));
    std::sort(files.begin() + 1, files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    return files;
}
