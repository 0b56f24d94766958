#include "engine/round_trip_check.h"

#include <string>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "definition/target_info.h"
#include "support/progress.h"
#include "engine/binary_records.h"
#include "engine/check_report.h"
#include "engine/record_seek.h"
#include "engine/round_trip.h"

bool CheckRoundTrip(CTargetInfo& target, CCheckReport& report, CProgress& progress) {
    CBinaryRecords records(target);
    try {
        const std::string jobTitle = target.m_message;
        CRoundTrip trip(target);
        records.Open();
        const bool byIndex = UsesIndexList(target);
        progress.Start(0, records.Count(), 1, jobTitle, true);

        while (records.Next(progress)) {
            if (!trip.Usable()) Fail(Word(wSystem));
            if (!trip.ComesBack(records.Stored(), records.Record())) {
                std::string note = RecordNote(records.Number());
                if (byIndex) note += " Record " + std::to_string(records.RecordIndex()) + ".";
                trip.Report(note, records.Stored(), records.Record(), report);
            }
            ++report.m_checked;
            progress.Update(records.Number());
        }

        return records.Finish(progress);
    } catch (...) {
        return records.Abandon(progress);
    }
}
