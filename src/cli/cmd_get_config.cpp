// cadenzor-cli get-config: reads the instrument's configuration headlessly.
#include "app/program_configuration.h"
#include "cli/commands.h"
#include "link/qt/headless_get_config.h"

#include <iostream>

namespace kelvo::cli {

int run_get_config(const Args& args)
{
    HeadlessGetConfigOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--trace") {
            options.trace = true;
        } else if ((a == "--device" || a == "--folder") && i + 1 < args.size()) {
            (a == "--device" ? options.device : options.folder) = args[++i];
        } else {
            std::cerr << "get-config: unexpected argument " << a << "\n";
            return 2;
        }
    }
    if (options.device.empty() || options.folder.empty()) {
        std::cerr << "usage: cadenzor-cli get-config --device PATH --folder DIR [--trace]\n";
        return 2;
    }
    ProgramConfiguration configuration;
    return run_headless_get_config(options, configuration, std::cout);
}

}  // namespace kelvo::cli
