#include "app/check_job.h"

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "engine/check_report.h"
#include "engine/round_trip_check.h"
#include "engine/text_to_binary.h"

namespace {
// Why the files the check reads cannot be read, with the field to focus; empty when they can.
// The dry run reads the binary file only for the bytes of fillers.
std::string CheckFiles(const CTargetInfo& target, CheckKind kind, std::string& binary, std::string& text,
                       int& focus) {
    const std::string sameFile = ResolvePaths(binary, text);
    focus = ctlBinaryPath;
    if (kind == CheckKind::roundTrip) return CheckInputFile(0, binary);
    const bool readsBinary = target.m_recordDefinition.m_filler == 1;
    focus = ctlTextPath;
    if (readsBinary && !sameFile.empty()) return sameFile;
    std::string error = CheckInputFile(1, text);
    if (error.empty() && readsBinary) {
        focus = ctlBinaryPath;
        error = CheckInputFile(0, binary);
    }
    return error;
}
}

CCheckResult CheckCommand(CTargetInfo& target, const CCheckRequest& request, CProgress& progress) {
    CCheckResult result;
    if (!target.CheckReady()) return result;
    result.outcome = JobOutcome::canceled;
    const bool dryRun = request.kind == CheckKind::dryRun;
    std::string binary = request.binaryPath;
    std::string text = request.textPath;
    const std::string error = CheckFiles(target, request.kind, binary, text, result.focus);
    if (!error.empty()) {
        result.message = Word(wCanceled) + "\r\n" + error;
        return result;
    }
    result.focus = 0;
    CFileInfoSection& info = target.m_fileInfo;
    info.m_binaryFilePath = binary;
    info.m_textFilePath = text;

    const std::string title = "[ " + request.caption + " ]";
    CCheckReport report(dryRun ? CCheckReport::dryRun : CCheckReport::roundTrip, request.limit);
    bool ran = false;
    {
        // The cursor comes back however the check ends.
        const CWaitCursor waitCursor(request.waitCursor);
        target.m_message = title;
        try {
            ran = dryRun ? DryRunToBinary(target, request.firstColumnIsIndex, report, progress)
                         : CheckRoundTrip(target, report, progress);
        } catch (...) {
            target.m_message = FailureText();
        }
    }
    if (ran) {
        result.outcome = JobOutcome::ended;
        result.clean = report.Clean();
        result.message = WordThenSpace(wEnd) + title + "\r\n" + report.Text();
    } else {
        result.outcome = JobOutcome::failed;
        result.message = WordThenSpace(wError) + title + "\r\n" + (dryRun ? "Text" : "Binary") +
            SpaceWordPair(wFile, wCanNotUse) + "\r\n" + target.m_message;
    }
    target.m_message.clear();
    return result;
}
