#include "ground/import_files.h"

#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "ground/text_utils.h"

#include <filesystem>
#include <system_error>

namespace kelvo {
namespace fs = std::filesystem;

std::string import_patterns(const std::string& method_extension)
{
    return std::string("*.ksl;*") + method_extension + ";*" + ".kma";
}

std::string import_filter_description(const std::string& method_extension)
{
    return "Kelvo files (" + import_patterns(method_extension) + ")";
}

namespace {
bool is_separator(char c) { return c == '/' || c == '\\'; }

std::string without_final_separator(std::string folder)
{
    while (folder.size() > 1 && is_separator(folder.back())) folder.pop_back();
    return folder;
}

std::string file_name_of(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Copies without ever replacing the destination, and without leaving half a
// file there when the disk fills up: the copy goes to a temporary file in
// the method folder first and is then linked in under its name, which fails
// when the name exists.
bool copy_without_overwrite(const fs::path& from, const fs::path& to)
{
    std::error_code ec;
    if (fs::exists(to, ec) || ec) return false;
    fs::path temp = to;
    temp += ".import.tmp";
    fs::remove(temp, ec);
    if (!fs::copy_file(from, temp, fs::copy_options::none, ec) || ec) {
        fs::remove(temp, ec);
        return false;
    }
    fs::create_hard_link(temp, to, ec);
    bool copied = !ec;
    if (ec && ec != std::errc::file_exists && !fs::exists(to)) {
        // A file system without hard links: a plain rename, after checking
        // once more that the name is still free.
        std::error_code rename_ec;
        fs::rename(temp, to, rename_ec);
        copied = !rename_ec;
    }
    fs::remove(temp, ec);
    return copied;
}
}  // namespace

std::string folder_of(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    if (slash == std::string::npos) return std::string();
    return without_final_separator(path.substr(0, slash + 1));
}

int import_documents(const std::vector<std::string>& files, const std::string& method_folder, const DebugSink& debug)
{
    if (files.empty()) return 0;
    const std::string folder = without_final_separator(method_folder);
    if (same_text(folder_of(files.front()), folder)) return 0;
    const std::string prefix = (!folder.empty() && !is_separator(folder.back())) ? folder + "/" : folder;
    int copied = 0;
    for (const std::string& source : files) {
        const std::string destination = prefix + file_name_of(source);
        if (debug) debug(source + " -> " + destination);
        if (copy_without_overwrite(fs::path(cp1252_to_utf8(source)), fs::path(cp1252_to_utf8(destination))))
            ++copied;
    }
    return copied;
}

}  // namespace kelvo
