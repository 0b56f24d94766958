#include "cli/cli_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "app/app_state.h"
#include "app/check_job.h"
#include "app/job_driver.h"
#include "app/preview_model.h"
#include "vocabulary/messages.h"
#include "cli/cli_message_box.h"
#include "cli/cli_output.h"
#include "cli/preview_table.h"
#include "cli/terminal_progress.h"
#include "crypt/binary_file_crypt.h"
#include "crypt/table_inversion.h"
#include "platform/terminal.h"
#include "support/backup.h"
#include "support/paths.h"

namespace {

// A file named on the command line is taken against the current folder, as users expect.
std::string FromCommandLine(const std::string& path) {
    if (path.empty()) return path;
    const std::filesystem::path given(path);
    if (given.is_absolute()) return path;
    return (std::filesystem::current_path() / given).lexically_normal().string();
}

// A success whose report could not be written is no success for the caller.
int Finish(const std::string& text, bool success) {
    const bool printed = PrintText(success ? stdout : stderr, text);
    return success && printed ? 0 : 1;
}

class CCliRun {
public:
    explicit CCliRun(const CCliOptions& options) : m_options(options), m_progress(!options.quiet && StandardErrorIsTerminal()) {}

    int Run();

private:
    CTargetInfo& LoadedTarget();
    std::string NotReadyText(const CTargetInfo& target) const;
    // The slot the command works on, loaded; null with a message printed when it is not ready.
    CTargetInfo* ReadyTarget();
    int Info();
    int Preview();
    // Whether the target allows --index-column; refused with exit status 2 when it does not.
    bool IndexOptionsAllowed(const CTargetInfo& target) const;
    int Convert(int button);
    int Check();
    int ConvertBinary(int encrypt);
    int Invert();
    int Revert();
    bool StartsWithPutFile(const std::string& text) const { return text.rfind(Word(wPut) + " " + Word(wFile), 0) == 0; }

    const CCliOptions& m_options;
    CAppState m_app;
    CCliMessageBox m_box;
    CTerminalProgress m_progress;
    int m_slot = 1;
};

int CCliRun::Run() {
    m_app.LoadSettings(ProgramDirectory() + "morvane.ini");
    // Settings that cannot be read are not replaced by defaults: nothing runs without them.
    if (!m_app.m_settingsError.empty()) return Finish(m_app.m_settingsError, false);
    m_slot = m_options.slot ? m_options.slot : 1;
    const std::string& command = m_options.command;
    if (command == "revert") return Revert();
    CatchInterrupts();
    if (command == "info") return Info();
    if (command == "preview") return Preview();
    if (command == "to-text") return Convert(ctlBinaryToText);
    if (command == "to-binary") return Convert(ctlTextToBinary);
    if (command == "check") return Check();
    if (command == "decrypt") return ConvertBinary(0);
    if (command == "encrypt") return ConvertBinary(1);
    return Invert();
}

CTargetInfo& CCliRun::LoadedTarget() {
    CTargetInfo& target = m_app.m_slots[m_slot - 1];
    if (!m_options.target.empty()) target.Load(FromCommandLine(m_options.target));
    return target;
}

// Why the target cannot be used, as the window's message area would say it.
std::string CCliRun::NotReadyText(const CTargetInfo& target) const {
    // Without targets in the settings file, the settings load has said so.
    if (m_options.target.empty() && target.m_fileInfo.m_pathAsWritten.empty() && !m_app.m_messageText.empty())
        return m_app.m_messageText;
    return target.m_message.empty() ? Word(wCanNotUse) : target.m_message;
}

CTargetInfo* CCliRun::ReadyTarget() {
    CTargetInfo& target = LoadedTarget();
    if (target.CheckReady()) return &target;
    Finish(NotReadyText(target), false);
    return nullptr;
}

int CCliRun::Info() {
    CTargetInfo& target = LoadedTarget();
    const bool ready = target.CheckReady();

    // The value column of the window: the info text, then the index list's count.
    std::string values = target.m_fileInfo.m_infoText;
    if (target.m_indexList.m_ok)
        values += "\n" + std::to_string(target.m_indexList.EntryCount());
    else if (target.m_ok)
        values += "\n--";
    std::string text = target.DisplayName() + "\n";
    std::size_t width = 0;
    for (int i = 0; i < CUiLabelSet::kInfoLabelCount; ++i) width = std::max(width, DisplayWidth(m_app.m_labels->InfoLabel(i)));
    // The declared encodings follow, on lines of their own, for the targets that declare them.
    const auto encodings = target.m_fileInfo.Encodings();
    for (const auto& [key, name] : encodings) width = std::max(width, key.size());
    std::size_t start = 0;
    for (int i = 0; i < CUiLabelSet::kInfoLabelCount; ++i) {
        const std::size_t end = values.find('\n', start);
        const std::string value = start == std::string::npos ? "" : values.substr(start, end - start);
        start = end == std::string::npos ? end : end + 1;
        const std::string& label = m_app.m_labels->InfoLabel(i);
        text += " " + label + std::string(width - DisplayWidth(label) + 2, ' ') + value + "\n";
    }
    for (const auto& [key, name] : encodings) text += " " + key + std::string(width - key.size() + 2, ' ') + name + "\n";
    text.pop_back();
    const bool printed = PrintText(stdout, text);
    const int status = ready ? 0 : Finish(NotReadyText(target), false);
    return printed ? status : 1;
}

int CCliRun::Preview() {
    CTargetInfo* target = ReadyTarget();
    if (!target) return 1;
    CPreviewModel model(m_app);
    model.Open(target->m_fileInfo.m_iniPath, m_options.binary ? FromCommandLine(*m_options.binary) : std::string());
    if (!model.Failure().empty()) return Finish(model.Failure(), false);
    std::string failure;
    // A terminal gets a table to read; anything else the lines Binary => Text would write.
    const bool table = StandardOutputIsTerminal();
    const std::string text = table ? PreviewTable(model, m_options.firstRow, m_options.rowCount, m_options.hex)
                                   : PreviewLines(model, m_options.firstRow, m_options.rowCount, m_options.hex, failure);
    if (!model.Failure().empty()) return Finish(model.Failure(), false);
    // The lines go out with their own CR LF, as the text file holds them.
    if (!table) WriteStandardOutputUnconverted();
    const bool printed = table ? std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0
                               : std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0;
    if (!failure.empty()) return Finish(model.JobFailure(failure), false);
    return printed ? 0 : 1;
}

bool CCliRun::IndexOptionsAllowed(const CTargetInfo& target) const {
    // The window offers the index options only where the target allows them.
    const bool indexAllowed = target.m_fileInfo.m_indexListPath.empty() && target.m_recordDefinition.HasIndexItem();
    if (!m_options.indexColumn || indexAllowed) return true;
    std::fputs("morvane-cli: --index-column needs a target without a record index list whose first item "
               "is a one-column unsigned number read with R\n", stderr);
    return false;
}

int CCliRun::Convert(int button) {
    CTargetInfo* target = ReadyTarget();
    if (!target) return 1;
    const bool toBinary = button == ctlTextToBinary;
    if (!IndexOptionsAllowed(*target)) return 2;
    if (m_options.writeIndexList && !m_options.indexColumn) {
        std::fputs("morvane-cli: --write-index-list goes with --index-column\n", stderr);
        return 2;
    }
    CJobRequest request;
    request.binaryPath = m_options.binary ? FromCommandLine(*m_options.binary) : target->m_fileInfo.m_binaryFilePath;
    request.textPath = m_options.text ? FromCommandLine(*m_options.text) : target->m_fileInfo.m_textFilePath;
    request.slotButton = CAppState::kSlotControlIds[m_slot - 1];
    request.slotCaption = target->DisplayName();
    request.button = button;
    request.buttonCaption = m_app.m_labels->Caption(button);
    request.firstColumnIsIndex = toBinary && m_options.indexColumn;
    request.writeIndexList = toBinary && m_options.writeIndexList;
    request.makeBackup = !m_options.noBackup;
    request.threads.threads = m_options.threads;
    m_box.Answer(idYes); // running the command confirms the job
    m_box.Answer(m_options.yes ? idYes : idNo);
    const CJobResult result = ConvertCommand(*target, request, m_progress);
    return Finish(result.message, result.outcome == JobOutcome::ended);
}

int CCliRun::Check() {
    CTargetInfo* target = ReadyTarget();
    if (!target) return 1;
    CCheckRequest request;
    request.binaryPath = m_options.binary ? FromCommandLine(*m_options.binary) : target->m_fileInfo.m_binaryFilePath;
    request.textPath = m_options.text ? FromCommandLine(*m_options.text) : target->m_fileInfo.m_textFilePath;
    // A text file named, or no binary file to check, asks for the dry run of the text.
    const bool dryRun = m_options.text || (!m_options.binary && !FileExists(NormalizePath(request.binaryPath, true)));
    if (m_options.indexColumn && !dryRun) {
        std::fputs("morvane-cli: --index-column goes with the check of a text file\n", stderr);
        return 2;
    }
    if (!IndexOptionsAllowed(*target)) return 2;
    request.kind = dryRun ? CheckKind::dryRun : CheckKind::roundTrip;
    request.caption = Word(dryRun ? wCheckTextToBinary : wCheckBinaryToTextToBinary);
    request.firstColumnIsIndex = m_options.indexColumn;
    request.limit = m_options.limit;
    const CCheckResult result = CheckCommand(*target, request, m_progress);
    if (result.outcome != JobOutcome::ended) return Finish(result.message, false);
    // The report is the command's output, whatever it found; the status says whether all is well.
    return PrintText(stdout, result.message) && result.clean ? 0 : 1;
}

int CCliRun::ConvertBinary(int encrypt) {
    CTargetInfo* target = ReadyTarget();
    if (!target) return 1;
    const std::string path = m_options.binary ? FromCommandLine(*m_options.binary) : target->m_fileInfo.m_binaryFilePath;
    const std::string text = ConvertBinaryFile(target->m_codeTables, encrypt, path, m_progress);
    return Finish(text, StartsWithPutFile(text));
}

int CCliRun::Invert() {
    CTargetInfo* target = ReadyTarget();
    if (!target) return 1;
    const std::string text = WriteInverse(target->m_codeTables, m_options.from == "encrypt" ? 1 : 0);
    return Finish(text, StartsWithPutFile(text));
}

int CCliRun::Revert() {
    std::string text;
    if (!RevertFromBackup(FromCommandLine(m_options.revertFile), text)) return Finish(text, false);
    return Finish(Word(wEnd) + " " + m_app.m_labels->Caption(1034), true);
}

} // namespace

int RunCliCommand(const CCliOptions& options) { return CCliRun(options).Run(); }
