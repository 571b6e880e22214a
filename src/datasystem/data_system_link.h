#pragma once
// The conversation with a chromatography data system in ChemStation mode:
// three advise links (status, sequence status, table info) and one command
// conversation, made once by create_links(); the link state the items
// update; the row handed to the data system through the exchange file; and
// the wait for the data system that a "WAIT_FOR_DS" command starts.
//
// The run engine drives the wait:
//   - at "WAIT_FOR_DS": when wait_for_ds_stops(), begin_wait() and return
//     "waiting"; otherwise pass over the command;
//   - on every service tick, after its own steps: when tick() returns true,
//     advance the command index by one and send the next command;
//   - on Stop: when end_wait() returns true the run was parked here, so it
//     has to be sent on (from body end) by the caller.
//
// The user window messages 0x590, 0x593, 0x59F and 0x5A0 reach this object
// through DataSystemHooks.
#include "ground/debug_lines.h"
#include "datasystem/data_system_mode.h"
#include "datasystem/dde_client.h"
#include "datasystem/sequence_info.h"
#include "link/link_hooks.h"

#include <functional>
#include <memory>
#include <string>

namespace kelvo {

class Prompts;

inline constexpr const char* cant_create_text = "cant create ";
inline constexpr const char* cant_link_text = "cant link to ";
inline constexpr const char* blank_status_text = "got blank cs status";
inline constexpr const char* blank_sequence_status_text = "got blank sequence status";
inline constexpr const char* sending_row_text = "sending row to chemstation";

class DataSystemLink final : public DataSystemHooks {
public:
    // client may be null outside ChemStation mode (nothing is ever made).
    // prompts: where the error boxes of the links go (not owned).
    // debug: the instrument link's debug list (what was sent and seen).
    DataSystemLink(DataSystemMode mode, DdeClient* client, Prompts& prompts, DebugSink debug);
    ~DataSystemLink() override;
    DataSystemLink(const DataSystemLink&) = delete;
    DataSystemLink& operator=(const DataSystemLink&) = delete;

    // ---- What the rest of the program supplies (each may stay empty)
    // The sample list's current row (its name and cells from Method on).
    void set_current_row(std::function<SequenceRow()> f) { current_row_ = std::move(f); }
    // Reads the column-definition file at a path (Windows-1252 text).
    void set_column_reader(std::function<void(const std::string& path)> f) { read_columns_ = std::move(f); }
    // Reopens the documents last used (after reloading the columns).
    void set_documents_reopener(std::function<void()> f) { reopen_documents_ = std::move(f); }
    // A text for the status bar: what the run waits for.
    void set_status_text(std::function<void(const std::string&)> f) { status_text_ = std::move(f); }

    const DataSystemMode& mode() const { return mode_; }

    // ---- DataSystemHooks: messages 0x590, 0x593, 0x59F, 0x5A0
    // Create links: debug line "creating links", the three advise links and
    // the command conversation ("cant create " / "cant link to " when one
    // does not open), then "Qerant_CollectTableInfo". ChemStation mode only.
    void create_links() override;
    // Send row with the sample list's current row.
    void send_current_row() override;
    // The column definitions read again from the table-info path, then the
    // documents last used reopened.
    void reload_columns() override;
    // Executes "Qerant_CollectTableInfo" (the caller writes "requesting columns").
    void request_table() override;
    // Debug line "requesting columns", then request_table().
    void request_columns();

    // Send row: writes the "sequence info" section into the exchange file
    // and executes "Qerant_CreateSequence". False when nothing was sent (not
    // ChemStation mode, exchange file refused or not written).
    bool send_row(const SequenceRow& row);

    // ---- The item handlers (called by the advise links)
    void status_item_changed(const std::string& text);
    void sequence_status_changed(const std::string& text);
    void table_info_changed(const std::string& text);

    // ---- The wait at "WAIT_FOR_DS"
    // Whether "WAIT_FOR_DS" stops a method (ChemStation mode).
    bool wait_for_ds_stops() const { return mode_.chemstation; }
    // Sets *waiting for data system*.
    void begin_wait();
    // The data-system steps of a service tick. True when the data system
    // reported "READY" for the row sent: the run goes on.
    bool tick();
    // The two steps of tick() for a run that keeps *waiting for data system*
    // itself: the row sent with *waiting for ready* marked, and the test for
    // a "READY" reported since (true once, then the mark is cleared).
    void send_row_for_run();
    bool ready_for_run();
    // Stop: both waits end. True when the run was waiting here.
    bool end_wait();
    bool waiting() const { return waiting_for_data_system_ || waiting_for_ready_; }
    // What the run waits for, for the status bar; empty when it does not wait.
    std::string waiting_text() const;

    // ---- Link state
    const std::string& system_status() const { return system_status_; }
    const std::string& sequence_status() const { return sequence_status_; }
    const std::string& table_info_path() const { return table_info_path_; }
    bool waiting_for_data_system() const { return waiting_for_data_system_; }
    bool waiting_for_ready() const { return waiting_for_ready_; }
    bool links_created() const { return links_created_; }
    bool has_status_link() const { return status_link_ != nullptr; }
    bool has_sequence_status_link() const { return sequence_status_link_ != nullptr; }
    bool has_table_info_link() const { return table_info_link_ != nullptr; }
    bool has_command_conversation() const { return command_ != nullptr; }

private:
    std::unique_ptr<DdeConversation> make_link(const std::string& topic, const std::string& item,
                                               void (DataSystemLink::*handler)(const std::string&));
    void execute(const std::string& command);
    void debug(const std::string& text) const
    {
        if (debug_) debug_(text);
    }
    void show_waiting_text();

    DataSystemMode mode_;
    DdeClient* client_;
    Prompts& prompts_;
    DebugSink debug_;
    std::function<SequenceRow()> current_row_;
    std::function<void(const std::string&)> read_columns_;
    std::function<void()> reopen_documents_;
    std::function<void(const std::string&)> status_text_;

    std::string system_status_;
    std::string sequence_status_;
    std::string table_info_path_;
    bool waiting_for_data_system_ = false;
    bool waiting_for_ready_ = false;
    // A sequence status reported since the row was sent: an older "READY"
    // belongs to the row before and does not release the wait.
    bool status_since_row_ = false;
    bool links_created_ = false;
    std::unique_ptr<DdeConversation> status_link_;
    std::unique_ptr<DdeConversation> sequence_status_link_;
    std::unique_ptr<DdeConversation> table_info_link_;
    std::unique_ptr<DdeConversation> command_;
};

}  // namespace kelvo
