#include "app/program_configuration.h"
#include "ground/debug_lines.h"

#include "ground/cp1252.h"
#include "config/config_db.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "trays/tray_report.h"

namespace kelvo {

bool ProgramConfiguration::parse(const std::vector<std::string>& lines) { return parse_configuration(config(), lines, prompts(), debug_line); }

int ProgramConfiguration::object_count() const { return config().object_count(); }

void ProgramConfiguration::write_tray_report(const std::string& method_folder)
{
    kelvo::write_tray_report(config(), cp1252_to_utf8(tray_report_path(method_folder)), debug_line);
}

}  // namespace kelvo
