#pragma once
// Lines for the instrument link's debug list. Until the link window connects
// its list, lines are kept in a buffer that the link takes over at start.
#include <functional>
#include <string>
#include <vector>

namespace kelvo {

using DebugSink = std::function<void(const std::string&)>;

void debug_line(const std::string& text);
// Installs the sink that receives every later line (an empty function
// restores buffering). Returns the lines buffered so far and clears them.
std::vector<std::string> set_debug_sink(DebugSink sink);
// Lines buffered while no sink was installed.
const std::vector<std::string>& buffered_debug_lines();
void clear_buffered_debug_lines();

// Sends every debug line to the sink while it lives, beginning with the
// lines buffered so far; buffering resumes when it goes. The shell routes
// the lines to the instrument link's debug list this way.
class DebugLineRoute {
public:
    explicit DebugLineRoute(const DebugSink& sink)
    {
        for (const std::string& line : set_debug_sink(sink)) sink(line);
    }
    ~DebugLineRoute() { set_debug_sink({}); }
    DebugLineRoute(const DebugLineRoute&) = delete;
    DebugLineRoute& operator=(const DebugLineRoute&) = delete;
};

}  // namespace kelvo
