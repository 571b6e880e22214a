#pragma once
// The chain's view of the program-wide configuration database and the tray
// report in the method folder. It joins the link, the configuration, the
// parameter expressions (the bound check) and the trays, so it lives with
// the composition root; start-up and get-config receive it.
#include "link/startup_chain.h"

namespace kelvo {

class ProgramConfiguration final : public ConfigurationStore {
public:
    bool parse(const std::vector<std::string>& lines) override;
    int object_count() const override;
    void write_tray_report(const std::string& method_folder) override;
};

}  // namespace kelvo
