#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "vocabulary/failure.h"
#include "vocabulary/messages.h"
#include "support/progress.h"
#include "definition/target_info.h"
#include "engine/record_seek.h"
#include "platform/file.h"

// The records a run of Binary => Text converts, read one at a time from the target's binary
// file: consecutively from the start position, or in the order of the record index list, and
// decrypted when the target's code tables are in use.
class CBinaryRecords {
public:
    explicit CBinaryRecords(CTargetInfo& target) : m_target(target) {}

    // Opens the binary file for reading, held against writers, at the start position; throws
    // the failure text.
    void Open();
    std::uint32_t Count() const { return m_count; }
    // Reads the next record (by the next entry, when the index list is used), after asking the
    // progress display whether to stop: false at the end, or after a confirmed stop (then
    // Stopped, and the target's message word 28). Throws the failure text.
    bool Next(CProgress& progress);
    // Whether every record of the run has been read.
    bool AtEnd() const { return m_read >= m_count; }
    // Asks the progress display whether to stop, as Next does: true after a confirmed stop.
    bool PollStop(CProgress& progress);
    // Reads up to most of the next records, as stored, one after the other into out; read
    // counts the records read whole, also when the failure text of the one after them is thrown.
    void ReadStored(std::uint8_t* out, std::uint32_t most, std::uint32_t& read);
    std::size_t RecordSize() const { return m_recordSize; }
    bool Decrypts() const { return m_decrypt; }
    // Decrypts count records read by ReadStored; safe on any thread.
    void Decrypt(std::uint8_t* plain, const std::uint8_t* stored, std::uint32_t count) const {
        m_target.m_codeTables.Transform(plain, 0, count * m_recordSize, stored);
    }
    // Goes to the record numbered read + 1 in the run: Next reads it.
    void SkipTo(std::uint32_t read);
    bool Stopped() const { return m_stopped; }
    // The number in the run, counted from 1, of the record whose place was found last: the
    // record of the line note; 0 before the first.
    std::uint32_t Number() const { return m_read; }
    // The end of a run that went through or was stopped: the file closed, the target's message
    // cleared unless stopped, the progress display closed. Whether the run went through.
    bool Finish(CProgress& progress);
    // The end of a failed run, from its catch block: the file closed, the target's message
    // "Error", the line note and the caught failure, the progress display closed. False.
    bool Abandon(CProgress& progress);
    // The record read last as stored and as converted (decrypted), each followed by a zero byte.
    const std::uint8_t* Stored() const { return m_stored.get(); }
    const std::uint8_t* Record() const { return m_decrypt ? m_plain.get() : m_stored.get(); }
    // Its number in the file, counted from 0 at the start position.
    std::uint32_t RecordIndex() const { return m_recordIndex; }
    // Only read: closing it cannot lose anything.
    void Close() noexcept { m_file.Abort(); }

private:
    // Reads the next record (by the next entry, when the index list is used) into out.
    void ReadOne(std::uint8_t* out);
    // The failure of a record the file does not hold whole.
    [[noreturn]] void FailShortRead() const {
        Fail(Word(wCantReadFile) + "\r\n" + m_target.m_fileInfo.m_binaryFilePath);
    }

    CTargetInfo& m_target;
    CFile m_file;
    std::size_t m_recordSize = 0;
    std::uint32_t m_count = 0;
    bool m_byIndex = false;
    bool m_decrypt = false;
    bool m_stopped = false;
    std::uint32_t m_read = 0; // records read, and so the index list entry of the next
    std::uint32_t m_recordIndex = 0;
    std::unique_ptr<std::uint8_t[]> m_stored;
    std::unique_ptr<std::uint8_t[]> m_plain;
};

// Opens a binary file for reading, held against writers; throws the failure text.
void OpenBinaryFile(CFile& file, const std::string& path);
// "At line n." for the record numbered n from 1; nothing before the first record.
std::string RecordNote(std::uint32_t record);

// Defined here: it runs once per record of the conversions and checks.
inline bool CBinaryRecords::PollStop(CProgress& progress) {
    if (!progress.PollCancel()) return false;
    m_target.m_message = Word(wStop);
    m_stopped = true;
    return true;
}

inline void CBinaryRecords::ReadOne(std::uint8_t* out) {
    if (m_byIndex) {
        std::uint32_t entry = m_read;
        m_recordIndex = NextIndexEntry(m_target, entry);
        SeekRecord(m_target, m_file, m_recordIndex);
    } else {
        m_recordIndex = m_read;
    }
    ++m_read;
    if (m_file.Read(out, m_recordSize) != m_recordSize) FailShortRead();
}

inline bool CBinaryRecords::Next(CProgress& progress) {
    if (AtEnd() || PollStop(progress)) return false;
    ReadOne(m_stored.get());
    if (m_decrypt) m_target.m_codeTables.Transform(m_plain.get(), 0, m_recordSize, m_stored.get());
    return true;
}
