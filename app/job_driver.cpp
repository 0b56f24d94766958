#include "app/job_driver.h"

#include "vocabulary/failure.h"
#include "vocabulary/message_box.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "engine/binary_to_text.h"
#include "engine/text_to_binary.h"
#include "support/value_conversions.h"
#include "platform/file.h"
#include "platform/system.h"
#include "support/backup.h"
#include "support/paths.h"

namespace {
constexpr unsigned kBinaryInputMode = modeRead | shareDenyWrite | typeBinary;
constexpr unsigned kTextInputMode = modeRead | shareDenyWrite | typeText;
constexpr unsigned kTextOutputMode = modeWrite | shareDenyWrite | modeCreate | typeText;
constexpr unsigned kBinaryUpdateMode = modeReadWrite | shareDenyWrite | modeNoTruncate | typeBinary;
constexpr unsigned kBinaryNewMode = modeWrite | shareDenyWrite | modeCreate | typeBinary;

const char* const kBlanks = " \t\r\n\v\f";

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return std::string();
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

bool IsFullPath(const std::string& path) { return ClassifyFilePath(Trimmed(path)) == 15; }

// Every "\r\n\r\n" becomes "\n", scanning from the left without overlap.
std::string CollapseDoubleBreaks(const std::string& text) {
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at; (at = text.find("\r\n\r\n", from)) != std::string::npos; from = at + 4)
        result.append(text, from, at - from).append("\n");
    return result.append(text, from, std::string::npos);
}

// The kind of file each side of a direction names in messages.
const char* InputKind(int direction) { return direction == 0 ? "Binary" : "Text"; }
const char* OutputKind(int direction) { return direction == 0 ? "Text" : "Binary"; }
}

CConversionJob::CConversionJob(CTargetInfo& target, const CJobRequest& request, CProgress& progress)
    : m_target(target), m_request(request), m_progress(progress) {}

CJobResult ConvertCommand(CTargetInfo& target, const CJobRequest& request, CProgress& progress) {
    CConversionJob job(target, request, progress);
    return job.ConvertCommand();
}

CJobResult CConversionJob::ConvertCommand() {
    const int direction = m_request.button == ctlTextToBinary ? 1 : 0;
    m_result = CJobResult();
    if (!m_target.CheckReady()) return m_result;
    m_result.outcome = JobOutcome::canceled;
    m_target.m_fileInfo.m_binaryFilePath = m_request.binaryPath;
    m_target.m_fileInfo.m_textFilePath = m_request.textPath;
    unsigned mode = 0;
    if (!ValidatePaths(direction, mode)) return m_result;
    m_jobTitle = "[ " + m_request.buttonCaption + " ]";
    if (!ConfirmJob(direction)) return m_result;
    // The cursor comes back however the run ends.
    const CWaitCursor waitCursor(m_request.waitCursor);
    RunJob(direction, mode);
    return m_result;
}

bool CConversionJob::ValidatePaths(int direction, unsigned& mode) {
    CFileInfoSection& info = m_target.m_fileInfo;
    std::string binary = info.m_binaryFilePath;
    std::string text = info.m_textFilePath;
    std::string error = ResolvePaths(binary, text);
    int focus = ctlTextPath;
    if (error.empty()) {
        if (direction == 0) {
            error = CheckInputFile(0, binary);
            focus = ctlBinaryPath;
            if (error.empty()) {
                mode = kTextOutputMode;
                error = CheckOutputFile(0, text, mode, binary, true);
                mode = kTextOutputMode;
                focus = ctlTextPath;
            }
        } else {
            error = CheckInputFile(1, text);
            focus = ctlTextPath;
            if (error.empty()) {
                const bool mayDerive = info.m_startPosition == 0 && !m_target.m_indexList.m_ok;
                error = CheckOutputFile(1, binary, mode, text, mayDerive);
                focus = ctlBinaryPath;
            }
            // The record index list written after the records must be able to land as a file.
            const std::string list = IndexListPath(text);
            if (error.empty() && m_request.firstColumnIsIndex && m_request.writeIndexList && IsNoFile(list)) {
                error = WordThenSpace(wError) + Word(wNotAFile) + "\r\n" + list;
                focus = ctlTextPath;
            }
        }
    }
    if (!error.empty()) {
        mode = 0;
        m_result.focus = focus;
        m_result.message = Word(wCanceled) + "\r\n" + error;
        return false;
    }
    info.m_binaryFilePath = binary;
    info.m_textFilePath = text;
    return true;
}

std::string CheckInputFile(int direction, const std::string& path) {
    if (!IsFullPath(path)) return WordItemWord(wError, InputKind(direction), wFilePath);
    std::string error;
    if (!ValidateFile(path, direction == 0 ? kBinaryInputMode : kTextInputMode, error, false))
        return WordThenSpace(wError) + error;
    return std::string();
}

std::string ResolvePaths(std::string& binary, std::string& text) {
    const std::string normalBinary = NormalizePath(binary, true);
    const std::string normalText = NormalizePath(text, true);
    if (!normalBinary.empty()) binary = normalBinary;
    if (!normalText.empty()) text = normalText;
    if (!normalBinary.empty() && EqualIgnoringCase(normalBinary, normalText))
        return "Binary" + SpaceWord(wFile) + " = Text" + SpaceWord(wFile);
    return std::string();
}

std::string CConversionJob::CheckOutputFile(int direction, std::string& out, unsigned& mode, const std::string& in,
                                            bool mayDerive) const {
    if (!IsFullPath(out)) {
        const std::string error =
            mayDerive ? DeriveOutputPath(direction, out, in) : WordThenSpace(wError) + OutputKind(direction);
        if (!error.empty()) return error;
    }
    if (FileExists(out)) {
        if (direction == 1) mode = kBinaryUpdateMode;
        std::string error;
        if (!ValidateFile(out, mode, error, false)) return WordThenSpace(wError) + error;
    } else if (IsNoFile(out)) {
        return WordThenSpace(wError) + Word(wNotAFile) + "\r\n" + out;
    } else if (direction == 1) {
        mode = kBinaryNewMode;
    }
    return std::string();
}

std::string CConversionJob::DeriveOutputPath(int direction, std::string& out, const std::string& in) const {
    std::string extension = ".dat";
    if (direction == 0) extension = EqualIgnoringCase(m_target.m_fileInfo.m_textDelimiter, ",") ? ".csv" : ".tsv";
    const std::string suffix = TimestampSuffix(false, true, true, true, true, true) + extension;
    const std::string stem = PathStem(in);
    if (out.empty()) {
        out = stem + suffix;
        return std::string();
    }
    const std::string given = Trimmed(out);
    switch (ClassifyPath(given)) {
    case partDrive:
    case partDriveFolder: out = AddBackslash(given) + PathPart(stem, partNameExtension) + suffix; break;
    case partDriveFolderName: out = given + suffix; break;
    default: return WordItemWord(wError, OutputKind(direction), wFilePath);
    }
    return std::string();
}

bool CConversionJob::ConfirmJob(int direction) {
    std::string text;
    if (m_request.slotButton == 0) {
        text = WordPair(wFileInfo, wNotSet);
    } else {
        const CFileInfoSection& info = m_target.m_fileInfo;
        BeginMessage(m_request.slotCaption);
        AddSpaced(" ");
        AddSpaced(" ");
        AddLine("\r\n");
        AddLine(m_jobTitle);
        AddLine("\r\n");
        AddWord(wPut, sepLine);
        AddWord(wFile, sepSpace);
        AddSpaced("=");
        AddLine("\r\n");
        AddLine(MakeRelative(direction == 0 ? info.m_textFilePath : info.m_binaryFilePath));
        AddLine("\r\n");
        AddWord(wConvert, sepLine);
        AddSpaced("?");
        text = JoinedMessage();
        if (ShowMessage(text, mbQuestion) == idYes) return true;
    }
    m_result.message = CollapseDoubleBreaks(WordThenSpace(wCanceled) + "\r\n" + text);
    return false;
}

void CConversionJob::RunJob(int direction, unsigned mode) {
    const CFileInfoSection& info = m_target.m_fileInfo;
    const std::string& out = direction == 0 ? info.m_textFilePath : info.m_binaryFilePath;
    // The output is held against other runs from before its backup to the end of the job, so no
    // other run writes it in between; it is emptied only after the backup.
    CFile output;
    bool converted = false;
    try {
        output.Open(out, mode | modeNoTruncate);
    } catch (...) {
        m_target.m_message = Word(wCantOpenFile) + "\r\n" + FailureText();
    }
    if (output.IsOpen()) {
        std::string error;
        if (!PrepareOutput(output, mode, m_request.makeBackup, error)) {
            output.Abort();
            m_result.message = Word(wCanceled) + "\n" + error + "\n" + m_jobTitle;
            return;
        }
        m_target.m_message = m_jobTitle;
        try {
            if ((mode & modeCreate) && !(mode & modeNoTruncate)) output.SetLength(0);
            converted = direction == 0 ? ConvertToText(m_target, output, m_progress, m_request.threads)
                                       : ConvertToBinary(m_target, output, m_request.firstColumnIsIndex,
                                                         m_request.writeIndexList, m_progress, m_request.threads);
            if (converted) output.Close();
        } catch (...) {
            converted = false;
            m_target.m_message = FailureText();
        }
        if (!converted) {
            // A stop keeps what was written; a failure removes an output file the job created.
            if (m_target.m_message == Word(wStop))
                output.Abort();
            else
                output.Discard();
        }
    }
    if (converted && m_target.m_message.empty()) {
        m_result.outcome = JobOutcome::ended;
        m_result.message = WordThenSpace(wEnd) + m_jobTitle;
    } else {
        m_result.outcome = JobOutcome::failed;
        m_result.message = WordThenSpace(wError) + m_jobTitle + "\r\n" + OutputKind(direction) +
            SpaceWordPair(wFile, wCanNotUse) + "\r\n" + m_target.m_message;
    }
    m_target.m_message.clear();
}
