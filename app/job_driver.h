#pragma once
#include <functional>
#include <string>

#include "engine/conversion_threads.h"

class CProgress;
class CTargetInfo;

// Controls of the main window that a conversion job reads or names.
enum JobControl : int {
    ctlBinaryPath = 1004,   // binary file field
    ctlTextPath = 1005,     // text file field
    ctlTextToBinary = 1008, // button
    ctlBinaryToText = 1009, // button
};

// The main window's values a job works on.
struct CJobRequest {
    std::string binaryPath;          // field 1004 as typed
    std::string textPath;            // field 1005 as typed
    int slotButton = 0;              // the checked slot radio button 1038..1040, or 0 for none
    std::string slotCaption;         // its caption
    int button = ctlBinaryToText;    // the pressed button
    std::string buttonCaption;       // its current caption
    bool firstColumnIsIndex = false; // check box 1029
    bool writeIndexList = false;     // check box 1030
    bool makeBackup = false;         // check box 1031
    CConversionThreads threads;      // the cores the conversion uses
    // Called with true before the engine runs and with false after it; may be empty.
    std::function<void(bool busy)> waitCursor;
};

enum class JobOutcome {
    notReady, // the target failed its readiness check: nothing is shown, its message says why
    canceled, // stopped before the engine ran
    ended,
    failed,   // the engine failed or was stopped
};

struct CJobResult {
    JobOutcome outcome = JobOutcome::notReady;
    std::string message; // the message area's text; left as it was when not ready
    int focus = 0;       // the field to focus (1004 or 1005), or 0
};

// One conversion job on one target slot: checks and completes the paths, asks for
// confirmation, prepares the output and runs the engine. The resolved paths are stored in the
// target's file info.
class CConversionJob {
public:
    CConversionJob(CTargetInfo& target, const CJobRequest& request, CProgress& progress);

    CJobResult ConvertCommand();

    // Direction 0 is Binary => Text, 1 Text => Binary.
    bool ValidatePaths(int direction, unsigned& mode);
    std::string CheckOutputFile(int direction, std::string& out, unsigned& mode, const std::string& in,
                                bool mayDerive) const;
    std::string DeriveOutputPath(int direction, std::string& out, const std::string& in) const;
    bool ConfirmJob(int direction);
    void RunJob(int direction, unsigned mode);

private:
    CTargetInfo& m_target;
    const CJobRequest& m_request;
    CProgress& m_progress;
    std::string m_jobTitle;
    CJobResult m_result;
};

// The handler of buttons 1009 and 1008.
CJobResult ConvertCommand(CTargetInfo& target, const CJobRequest& request, CProgress& progress);

// Why an input file cannot be read (direction 0 the binary, 1 the text file): a path that is
// not full, or a file that cannot be opened for reading; empty when it can.
std::string CheckInputFile(int direction, const std::string& path);
// The paths a job takes from the two path fields, typed on entry: normalized, or left as typed
// where they cannot be. Returns the error text when both name one file, else nothing.
std::string ResolvePaths(std::string& binary, std::string& text);

// The wait cursor of a job, shown for the object's lifetime; the callback may be empty.
class CWaitCursor {
public:
    explicit CWaitCursor(const std::function<void(bool)>& show) : m_show(show) {
        if (m_show) m_show(true);
    }
    ~CWaitCursor() {
        if (m_show) m_show(false);
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;

private:
    const std::function<void(bool)>& m_show;
};
