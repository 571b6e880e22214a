#pragma once
// The run journal's file: JSON Lines (one object per line, UTF-8), appended
// record by record. Every record reaches the disk (flushed and synced)
// before append() returns, so that a crash or a power cut loses at most the
// record being written; a damaged last line is skipped when reading.
#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace kelvo {

using JournalRecord = nlohmann::json;

// The version every record carries in its "v" field.
inline constexpr int journal_version = 1;
inline constexpr const char* journal_file_name = "cadenzor-journal.jsonl";

// The journal beside the log file.
std::string default_journal_path();

class JournalFile {
public:
    JournalFile() = default;
    explicit JournalFile(std::string path) : path_(std::move(path)) {}
    ~JournalFile();
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    const std::string& path() const { return path_; }
    // Appends one record as one line, then syncs. False when it could not
    // be written (the journal never stops a run; the failure is reported
    // once by the caller).
    bool append(const JournalRecord& record);

private:
    bool open();
    std::string path_;
    int fd_ = -1;
};

// Every readable record of the file in order; lines that are not a JSON
// object (a line cut by a crash) are skipped. Empty when the file cannot be
// read. Files larger than max_journal_bytes are read from their last part.
std::vector<JournalRecord> read_journal(const std::string& path);
inline constexpr std::size_t max_journal_bytes = 256u * 1024u * 1024u;

}  // namespace kelvo
