#include "datasystem/data_system_link.h"

#include "ground/cp1252.h"
#include "ground/ini_file.h"
#include "ground/prompts.h"
#include "ground/text_utils.h"

#include <fstream>

namespace kelvo {

DataSystemLink::DataSystemLink(DataSystemMode mode, DdeClient* client, Prompts& prompts, DebugSink debug)
    : mode_(std::move(mode)), client_(client), prompts_(prompts), debug_(std::move(debug))
{
}

DataSystemLink::~DataSystemLink() = default;

// ---- Create links

std::unique_ptr<DdeConversation> DataSystemLink::make_link(const std::string& topic, const std::string& item,
                                                           void (DataSystemLink::*handler)(const std::string&))
{
    std::unique_ptr<DdeConversation> c = client_ ? client_->connect(mode_.service, topic) : nullptr;
    if (!c) {
        prompts_.show_error(cant_create_text + topic + ":" + item);
        return nullptr;
    }
    c->advise(item, [this, handler](const std::string& value) { (this->*handler)(value); });
    // The value the item holds already counts as its first change.
    const std::string current = c->request(item);
    if (!current.empty()) (this->*handler)(current);
    return c;
}

void DataSystemLink::create_links()
{
    if (!mode_.chemstation) return;
    debug("creating links");
    links_created_ = true;
    status_link_ = make_link(status_topic, status_item, &DataSystemLink::status_item_changed);
    sequence_status_link_ =
        make_link(command_topic, mode_.sequence_status_item(), &DataSystemLink::sequence_status_changed);
    table_info_link_ = make_link(command_topic, table_info_item, &DataSystemLink::table_info_changed);
    command_ = client_ ? client_->connect(mode_.service, command_topic) : nullptr;
    if (!command_) prompts_.show_error(std::string(cant_link_text) + command_topic);
    execute(collect_table_info_macro);
}

void DataSystemLink::execute(const std::string& command)
{
    if (command_) command_->execute(command);
}

void DataSystemLink::request_table() { execute(collect_table_info_macro); }

void DataSystemLink::request_columns()
{
    debug("requesting columns");
    request_table();
}

// ---- Item handlers

void DataSystemLink::status_item_changed(const std::string& text)
{
    if (text.empty()) prompts_.show_error(blank_status_text);
    else system_status_ = text;
    debug("Status:" + system_status_);
}

void DataSystemLink::sequence_status_changed(const std::string& text)
{
    if (text.empty()) {
        prompts_.show_error(blank_sequence_status_text);
    } else {
        sequence_status_ = text;
        status_since_row_ = true;
    }
    debug("Sequence Status:" + sequence_status_);
    if (waiting_for_ready_) show_waiting_text();
}

namespace {
// The refusal of the exchange file, written to the debug trace; true when
// the path may be used.
bool exchange_file_usable(const std::string& path, const DebugSink& debug)
{
    const std::string refusal = exchange_file_refusal(cp1252_to_utf8(path));
    if (refusal.empty()) return true;
    if (debug) debug("refused exchange file " + path + ": " + refusal);
    return false;
}
}  // namespace

void DataSystemLink::table_info_changed(const std::string& text)
{
    if (text.find_first_not_of(' ') == std::string::npos) {
        debug("saw spacy file name");
        return;
    }
    debug("saw good file name:" + text);
    table_info_path_ = text;
    // A device or a FIFO would hang the reading; a missing file adds nothing.
    if (exchange_file_usable(table_info_path_, debug_) && read_columns_) read_columns_(table_info_path_);
}

void DataSystemLink::reload_columns()
{
    if (!table_info_path_.empty() && exchange_file_usable(table_info_path_, debug_) && read_columns_)
        read_columns_(table_info_path_);
    if (reopen_documents_) reopen_documents_();
}

// ---- Send row

void DataSystemLink::send_current_row()
{
    send_row(current_row_ ? current_row_() : SequenceRow{});
}

bool DataSystemLink::send_row(const SequenceRow& row)
{
    if (!mode_.chemstation) return false;
    debug(sending_row_text);
    if (!exchange_file_usable(table_info_path_, debug_)) return false;
    const std::string path = cp1252_to_utf8(table_info_path_);
    IniFile file;
    if (!file.load(path)) {
        debug("cannot read exchange file " + table_info_path_);
        return false;
    }
    write_sequence_info(file, row);
    // Written in place: the file is the data system's, it keeps its own
    // identity and rights, and nothing else is made in the data system's
    // folder.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = file.text();
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        debug("cannot write exchange file " + table_info_path_);
        return false;
    }
    execute(create_sequence_macro);
    return true;
}

// ---- The wait

void DataSystemLink::begin_wait()
{
    if (!mode_.chemstation) return;
    waiting_for_data_system_ = true;
    show_waiting_text();
}

bool DataSystemLink::tick()
{
    if (waiting_for_data_system_) {
        debug(sending_row_text);
        waiting_for_data_system_ = false;
        send_row_for_run();
    }
    return ready_for_run();
}

void DataSystemLink::send_row_for_run()
{
    if (!mode_.chemstation) return;
    waiting_for_ready_ = true;
    status_since_row_ = false;
    send_current_row();
    show_waiting_text();
}

bool DataSystemLink::ready_for_run()
{
    if (!waiting_for_ready_ || !status_since_row_ || !same_text(sequence_status_.substr(0, 5), "READY")) return false;
    waiting_for_ready_ = false;
    return true;
}

bool DataSystemLink::end_wait()
{
    const bool was_waiting = waiting();
    waiting_for_data_system_ = waiting_for_ready_ = false;
    return was_waiting;
}

std::string DataSystemLink::waiting_text() const
{
    if (waiting_for_data_system_) return "Waiting for the data system: sending the sample";
    if (!waiting_for_ready_) return "";
    if (!sequence_status_link_) return "Waiting for the data system to report READY (no sequence status link)";
    if (!status_since_row_) return "Waiting for the data system to report READY";
    return "Waiting for the data system to report READY (sequence status: " + sequence_status_ + ")";
}

void DataSystemLink::show_waiting_text()
{
    if (status_text_) status_text_(waiting_text());
}

}  // namespace kelvo
