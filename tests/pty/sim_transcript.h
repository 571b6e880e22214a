#pragma once
// kelvo-sim's transcript file: one received line per line, as
// "MILLISECONDS<TAB>LINE" (milliseconds since the simulator started).
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelvo::pty_test {

struct SimTranscriptLine {
    std::int64_t ms = -1;
    std::string line;
};

inline std::vector<SimTranscriptLine> read_transcript(const std::filesystem::path& file)
{
    std::vector<SimTranscriptLine> lines;
    std::ifstream in(file, std::ios::binary);
    for (std::string l; std::getline(in, l);) {
        const std::string::size_type tab = l.find('\t');
        if (tab == std::string::npos) {
            lines.push_back({-1, l});
            continue;
        }
        lines.push_back({std::strtoll(l.substr(0, tab).c_str(), nullptr, 10), l.substr(tab + 1)});
    }
    return lines;
}

}  // namespace kelvo::pty_test
