#pragma once
// The data system's side of the conversation, without any bus: the items of
// the topics SYSTEM and CPWAIT, the two macros the program executes, the
// exchange file and the transcript, the delay until "READY" and the faults.
// Time is given by the caller in milliseconds.
#include <functional>
#include <string>
#include <vector>

namespace kelvo::sim {

struct DataSystemOptions {
    bool gc_ms = false;           // items of the GC-MS variant
    int ready_after_ms = 2000;    // from Qerant_CreateSequence to "READY"
    std::string columns_path;     // column-definition sections; empty: the demo columns
    std::string exchange_path;    // the exchange file (file system name)
    std::string transcript_path;  // every "sequence info" received is appended; empty: none
};

// The demo column definitions: a text, a numeric, a list and a check-box column.
extern const char* const demo_columns;
// Control lines, one per line, for the help text.
extern const char* const ds_control_syntax;

class DataSystemSimulator {
public:
    // changed(topic, item, value) is called whenever an item's text changes.
    using Changed = std::function<void(const std::string&, const std::string&, const std::string&)>;
    DataSystemSimulator(DataSystemOptions options, Changed changed);

    std::string sequence_status_item() const;
    bool has_topic(const std::string& topic) const;
    // The item's text; empty for an unknown item.
    std::string request(const std::string& topic, const std::string& item) const;
    // A macro on a topic. False (with a reason) for an unknown one.
    bool execute(const std::string& topic, const std::string& command, long now_ms, std::string* error = nullptr);
    // Lets time pass: "READY" when it is due.
    void advance(long now_ms);

    // Faults: "blank-status on|off", "never-ready on|off", "slow-ready MS",
    // "exit". False (with a reason) for a line that is none of them.
    bool apply_control(const std::string& line, long now_ms, std::string* error = nullptr);
    bool exit_requested() const { return exit_requested_; }
    int sequences_received() const { return sequences_; }

private:
    void set(const std::string& topic, const std::string& item, const std::string& value);
    void set_status(const std::string& topic, const std::string& item, const std::string& value);
    bool collect_table_info(std::string* error);
    bool create_sequence(long now_ms, std::string* error);

    DataSystemOptions options_;
    Changed changed_;
    std::string status_ = "IDLE";
    std::string sequence_status_;
    std::string table_info_;
    bool blank_status_ = false;
    bool never_ready_ = false;
    long ready_due_ = -1;
    bool exit_requested_ = false;
    int sequences_ = 0;
};

}  // namespace kelvo::sim
