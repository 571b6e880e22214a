#include "datasystem/data_system_mode.h"

#include "ground/text_utils.h"

namespace kelvo {

std::string DataSystemMode::sequence_status_item() const
{
    return gc_ms ? gc_ms_sequence_status_item : sequence_status_item_name;
}

DataSystemMode data_system_mode(const std::string& data_system, const std::string& service,
                                const std::string& instrument)
{
    DataSystemMode mode;
    mode.chemstation = same_text(data_system, "HPCS");
    mode.service = service;
    mode.gc_ms = same_text(instrument, "GC-MS");
    return mode;
}

}  // namespace kelvo
