#include "data_system_simulator.h"

#include "ground/file_io.h"
#include "ground/ini_file.h"
#include "ground/text_utils.h"

#include <fstream>

namespace kelvo::sim {

const char* const demo_columns =
    "[system]\r\n"
    "Numberofcolumns=4\r\n"
    "[column1]\r\n"
    "Spec=Sample Name#1#Sample#text\r\n"
    "Settings=20\r\n"
    "[column2]\r\n"
    "Spec=Dilution#1#1#numeric\r\n"
    "Settings=1#100#0\r\n"
    "[column3]\r\n"
    "Spec=Sample Type#1#Sample#list\r\n"
    "Settings=0#0#3#2\r\n"
    "Line1=Sample#Blank#\r\n"
    "Line2=Standard#\r\n"
    "[column4]\r\n"
    "Spec=Report#0#1#checkbox\r\n";

const char* const ds_control_syntax =
    "  blank-status on|off  every status the data system sets arrives as an empty text\n"
    "  never-ready on|off   the sequence status never becomes READY\n"
    "  slow-ready MS        READY comes MS milliseconds after Qerant_CreateSequence\n"
    "  exit                 the data system ends at once\n";

namespace {
constexpr const char* busy_word = "RUN";
constexpr const char* ready_word = "READY";
}  // namespace

DataSystemSimulator::DataSystemSimulator(DataSystemOptions options, Changed changed)
    : options_(std::move(options)), changed_(std::move(changed))
{
    // The idle word of the instrument type.
    sequence_status_ = options_.gc_ms ? "READY" : "IDLE";
}

std::string DataSystemSimulator::sequence_status_item() const
{
    return options_.gc_ms ? "Qerant_SeqStat$" : "Qerant_SequenceStatus$";
}

bool DataSystemSimulator::has_topic(const std::string& topic) const
{
    return same_text(topic, "SYSTEM") || same_text(topic, "CPWAIT");
}

std::string DataSystemSimulator::request(const std::string& topic, const std::string& item) const
{
    if (same_text(topic, "SYSTEM") && same_text(item, "STATUS")) return status_;
    if (!same_text(topic, "CPWAIT")) return "";
    if (same_text(item, sequence_status_item())) return sequence_status_;
    if (same_text(item, "Qerant_TableInfo$")) return table_info_;
    return "";
}

void DataSystemSimulator::set(const std::string& topic, const std::string& item, const std::string& value)
{
    std::string& slot = same_text(item, "STATUS") ? status_ : same_text(item, "Qerant_TableInfo$") ? table_info_ : sequence_status_;
    if (slot == value) return;
    slot = value;
    if (changed_) changed_(topic, item, value);
}

void DataSystemSimulator::set_status(const std::string& topic, const std::string& item, const std::string& value)
{
    set(topic, item, blank_status_ ? std::string() : value);
}

bool DataSystemSimulator::execute(const std::string& topic, const std::string& command, long now_ms, std::string* error)
{
    if (!same_text(topic, "CPWAIT")) {
        if (error) *error = "no macros on topic " + topic;
        return false;
    }
    if (same_text(command, "Qerant_CollectTableInfo")) return collect_table_info(error);
    if (same_text(command, "Qerant_CreateSequence")) return create_sequence(now_ms, error);
    if (error) *error = "unknown macro " + command;
    return false;
}

bool DataSystemSimulator::collect_table_info(std::string* error)
{
    std::string columns = demo_columns;
    if (!options_.columns_path.empty() && !read_file_bytes(options_.columns_path, columns)) {
        if (error) *error = "cannot read " + options_.columns_path;
        return false;
    }
    if (!write_file_atomically(options_.exchange_path, columns)) {
        if (error) *error = "cannot write " + options_.exchange_path;
        return false;
    }
    // The path is announced even when it has not changed: the file has.
    table_info_ = options_.exchange_path;
    if (changed_) changed_("CPWAIT", "Qerant_TableInfo$", table_info_);
    return true;
}

bool DataSystemSimulator::create_sequence(long now_ms, std::string* error)
{
    IniFile file;
    if (!file.load(options_.exchange_path)) {
        if (error) *error = "cannot read " + options_.exchange_path;
        return false;
    }
    ++sequences_;
    if (!options_.transcript_path.empty()) {
        std::ofstream out(options_.transcript_path, std::ios::binary | std::ios::app);
        out << "[sequence info]\n";
        for (const std::string& line : file.section_lines("sequence info")) out << line << "\n";
        out << "\n";
    }
    set_status("SYSTEM", "STATUS", busy_word);
    set_status("CPWAIT", sequence_status_item(), busy_word);
    ready_due_ = now_ms + options_.ready_after_ms;
    return true;
}

void DataSystemSimulator::advance(long now_ms)
{
    if (ready_due_ < 0 || now_ms < ready_due_ || never_ready_) return;
    ready_due_ = -1;
    set_status("CPWAIT", sequence_status_item(), ready_word);
    set_status("SYSTEM", "STATUS", "IDLE");
}

bool DataSystemSimulator::apply_control(const std::string& line, long now_ms, std::string* error)
{
    std::size_t pos = 0;
    const std::string word = next_field(line, pos, ' ');
    const std::string value = next_field(line, pos, ' ');
    auto on_off = [&](bool& flag) {
        if (same_text(value, "on") || value.empty()) flag = true;
        else if (same_text(value, "off")) flag = false;
        else {
            if (error) *error = "expected on or off: " + line;
            return false;
        }
        return true;
    };
    if (same_text(word, "blank-status")) {
        if (!on_off(blank_status_)) return false;
        if (blank_status_) {
            set("SYSTEM", "STATUS", "");
            set("CPWAIT", sequence_status_item(), "");
        }
        return true;
    }
    if (same_text(word, "never-ready")) {
        if (!on_off(never_ready_)) return false;
        advance(now_ms);
        return true;
    }
    if (same_text(word, "slow-ready")) {
        if (!is_integer(value) || integer_or_zero(value) < 0) {
            if (error) *error = "expected milliseconds: " + line;
            return false;
        }
        options_.ready_after_ms = integer_or_zero(value);
        return true;
    }
    if (same_text(word, "exit")) {
        exit_requested_ = true;
        return true;
    }
    if (error) *error = "unknown control: " + line;
    return false;
}

}  // namespace kelvo::sim
