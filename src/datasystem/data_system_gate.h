#pragma once
// The data-system link as the run engine's gate at "WAIT_FOR_DS": the engine
// keeps its own wait flags and asks the link to send the row and whether the
// data system has reported "READY" for it since.
#include "datasystem/data_system_link.h"
#include "engine/run_dialogs.h"

namespace kelvo {

class DataSystemLinkGate final : public DataSystemGate {
public:
    explicit DataSystemLinkGate(DataSystemLink& link) : link_(link) {}
    bool active() const override { return link_.wait_for_ds_stops(); }
    void send_row() override { link_.send_row_for_run(); }
    bool ready() override { return link_.ready_for_run(); }

private:
    DataSystemLink& link_;
};

}  // namespace kelvo
