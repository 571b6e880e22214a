#include "ground/method_folder.h"

#include "ground/cp1252.h"
#include "ground/file_io.h"
#include "ground/folder_files.h"
#include "ground/text_utils.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kelvo {

namespace fs = std::filesystem;

namespace {
fs::path fs_path(const std::string& cp1252_path) { return fs::path(cp1252_to_utf8(cp1252_path)); }

bool fixed_name(FolderDocument kind)
{
    return kind == FolderDocument::tray_report || kind == FolderDocument::saved_configuration;
}
}  // namespace

FolderDocument folder_document(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::sample_list: return FolderDocument::sample_list;
    case DocumentKind::macro: return FolderDocument::macro;
    case DocumentKind::method: break;
    }
    return FolderDocument::method;
}

MethodFolder::MethodFolder(std::string folder, bool masslynx) : folder_(std::move(folder)), masslynx_(masslynx) {}

std::string MethodFolder::extension(FolderDocument kind) const
{
    switch (kind) {
    case FolderDocument::macro: return macro_extension;
    case FolderDocument::method: return masslynx_ ? ".CDZ" : ".KME";
    case FolderDocument::sample_list: return sample_list_extension;
    case FolderDocument::export_table: return export_extension;
    case FolderDocument::tray_report:
    case FolderDocument::saved_configuration: break;
    }
    return {};
}

std::string MethodFolder::in_folder(const std::string& file) const
{
    if (folder_.empty()) return file;
    if (folder_.back() == '/' || folder_.back() == '\\') return folder_ + file;
    return folder_ + "/" + file;
}

std::string MethodFolder::path(FolderDocument kind, const std::string& name) const
{
    if (kind == FolderDocument::tray_report) return in_folder(tray_report_file_name);
    if (kind == FolderDocument::saved_configuration) return in_folder(configuration_file_name);
    return in_folder(strip_extension(name) + extension(kind));
}

std::string MethodFolder::existing_path(FolderDocument kind, const std::string& name) const
{
    const std::string plain = path(kind, name);
    std::error_code ec;
    if (fixed_name(kind) || fs::is_regular_file(fs_path(plain), ec)) return plain;
    // A file system that tells case apart may hold the file under another letter case.
    const std::string wanted = strip_extension(name) + extension(kind);
    fs::directory_iterator it(fs_path(folder_.empty() ? std::string(".") : folder_), ec);
    if (ec) return plain;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        bool ok = true;
        const std::string file = utf8_to_cp1252(it->path().filename().string(), &ok);
        if (ok && same_text(file, wanted) && !it->is_directory(ec)) {
            const auto slash = plain.find_last_of("/\\");
            return slash == std::string::npos ? file : plain.substr(0, slash + 1) + file;
        }
    }
    return plain;
}

bool MethodFolder::exists(FolderDocument kind, const std::string& name) const
{
    std::error_code ec;
    return fs::is_regular_file(fs_path(existing_path(kind, name)), ec);
}

std::vector<std::string> MethodFolder::names(FolderDocument kind) const
{
    std::vector<std::string> names;
    if (fixed_name(kind)) {
        if (exists(kind)) names.push_back(file_title(path(kind)));
        return names;
    }
    for (const std::string& title : folder_file_titles(folder_, extension(kind), debug_)) add_unique_name(names, title);
    std::sort(names.begin(), names.end(), less_without_case);
    return names;
}

bool MethodFolder::read_lines(FolderDocument kind, const std::string& name, std::vector<std::string>& lines) const
{
    return read_text_lines(fs_path(existing_path(kind, name)).string(), lines);
}

bool MethodFolder::read_bytes(FolderDocument kind, const std::string& name, std::string& bytes) const
{
    return read_file_bytes(fs_path(existing_path(kind, name)).string(), bytes);
}

bool MethodFolder::write(FolderDocument kind, const std::string& name, const std::string& bytes) const
{
    return write_file_atomically(fs_path(existing_path(kind, name)).string(), bytes);
}

}  // namespace kelvo
