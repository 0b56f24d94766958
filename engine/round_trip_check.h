#pragma once

class CCheckReport;
class CProgress;
class CTargetInfo;

// "Check Binary => Text => Binary": every record a Binary => Text run converts goes the way of
// the two conversions without a file in between. It is read (and decrypted) and turned into its
// line, the line is read back as the text file's reader would read it, turned back into a copy
// of the record over the record's own bytes (so fillers stay as the real write keeps them),
// encrypted and compared with the stored record. Each record that would change or fail is
// reported, with the items whose bytes differ and why. Nothing is written. The target's message
// holds the job title on entry and the outcome on return: empty when every record was checked,
// word 28 after a confirmed stop, the failure text otherwise.
bool CheckRoundTrip(CTargetInfo& target, CCheckReport& report, CProgress& progress);
