#include "ground/debug_lines.h"

#include <utility>

namespace kelvo {
namespace {
DebugSink current_sink;
std::vector<std::string> buffer;
}  // namespace

void debug_line(const std::string& text)
{
    if (current_sink)
        current_sink(text);
    else
        buffer.push_back(text);
}

std::vector<std::string> set_debug_sink(DebugSink sink)
{
    current_sink = std::move(sink);
    std::vector<std::string> taken;
    taken.swap(buffer);
    return taken;
}

const std::vector<std::string>& buffered_debug_lines() { return buffer; }
void clear_buffered_debug_lines() { buffer.clear(); }

}  // namespace kelvo
