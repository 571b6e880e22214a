#include "ground/folder_files.h"

#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "ground/text_utils.h"

#include <filesystem>
#include <system_error>

namespace kelvo {

std::vector<std::string> folder_file_titles(const std::string& folder, const std::string& extension,
                                            const DebugSink& debug)
{
    namespace fs = std::filesystem;
    std::vector<std::string> titles;
    std::error_code ec;
    fs::directory_iterator it(fs::path(cp1252_to_utf8(folder.empty() ? "." : folder)), ec);
    if (ec) return titles;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        // A folder named like a document is no document ("Dir.kma").
        std::error_code type_error;
        if (!it->is_regular_file(type_error)) continue;
        const std::string utf8 = it->path().filename().string();
        bool ok = true;
        const std::string name = utf8_to_cp1252(utf8, &ok);
        if (!ok) {
            if (debug) debug("skipped file " + utf8);
            continue;
        }
        if (!extension.empty()) {
            if (name.size() < extension.size() ||
                !same_text(name.substr(name.size() - extension.size()), extension))
                continue;
        }
        titles.push_back(file_title(name));
    }
    return titles;
}

std::vector<std::string> folder_file_titles(const std::string& folder, const std::string& extension)
{
    return folder_file_titles(folder, extension, debug_line);
}

void split_pattern(const std::string& pattern, std::string& folder, std::string& extension)
{
    const auto slash = pattern.find_last_of("/\\");
    folder = slash == std::string::npos ? std::string() : pattern.substr(0, slash);
    std::string file = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    extension = (!file.empty() && file[0] == '*') ? file.substr(1) : file;
    if (extension == ".*") extension.clear();
}

}  // namespace kelvo
