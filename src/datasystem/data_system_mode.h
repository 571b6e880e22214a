#pragma once
// What the command line decides for the data-system link. The application
// reads the switches "DS:", "SR:" and "IN:" and hands the values down.
#include <string>

namespace kelvo {

inline constexpr const char* status_topic = "SYSTEM";
inline constexpr const char* status_item = "STATUS";
inline constexpr const char* command_topic = "CPWAIT";
inline constexpr const char* gc_ms_sequence_status_item = "Qerant_SeqStat$";
inline constexpr const char* sequence_status_item_name = "Qerant_SequenceStatus$";
inline constexpr const char* table_info_item = "Qerant_TableInfo$";
inline constexpr const char* collect_table_info_macro = "Qerant_CollectTableInfo";
inline constexpr const char* create_sequence_macro = "Qerant_CreateSequence";

struct DataSystemMode {
    bool chemstation = false;  // "DS:HPCS": the links are made
    std::string service;       // "SR:": the service of every conversation
    bool gc_ms = false;        // "IN:GC-MS"

    // The item the sequence-status link watches.
    std::string sequence_status_item() const;
    // The data system's idle and ready words. Kept with the mode; nothing
    // waits on the idle word.
    std::string idle_word() const { return gc_ms ? "READY" : "IDLE"; }
    std::string ready_word() const { return "READY"; }
};

// data_system, service, instrument: the values of "DS:", "SR:" and "IN:"
// (empty when absent).
DataSystemMode data_system_mode(const std::string& data_system, const std::string& service,
                                const std::string& instrument);

}  // namespace kelvo
