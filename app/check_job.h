#pragma once
#include <cstddef>
#include <functional>
#include <string>

#include "engine/check_report.h"
#include "app/job_driver.h"

class CProgress;
class CTargetInfo;

// The two checks, which write nothing: Binary => Text => Binary over every record of the binary
// file, and a dry run of Text => Binary over every line of the text file.
enum class CheckKind { roundTrip, dryRun };

struct CCheckRequest {
    CheckKind kind = CheckKind::roundTrip;
    std::string binaryPath;          // field 1004 as typed
    std::string textPath;            // field 1005 as typed
    std::string caption;             // the check's caption, its job title
    bool firstColumnIsIndex = false; // the dry run's records, as check box 1029 gives them
    std::size_t limit = CCheckReport::kDefaultLimit; // problem lines kept in the report
    // Called with true before the check runs and with false after it; may be empty.
    std::function<void(bool busy)> waitCursor;
};

struct CCheckResult {
    JobOutcome outcome = JobOutcome::notReady; // ended: the check ran through; never canceled by a question
    std::string message;                       // the message area's text: the outcome words, then the report
    int focus = 0;                             // the field to focus (1004 or 1005), or 0
    bool clean = false;                        // nothing would change, fail or be cut
};

// Runs a check on one target slot: checks the paths of the files it reads and stores them in
// the target's file info, runs the engine's check under the progress display and composes the
// report.
CCheckResult CheckCommand(CTargetInfo& target, const CCheckRequest& request, CProgress& progress);
