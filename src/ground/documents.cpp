#include "ground/documents.h"

#include "ground/text_utils.h"

namespace kelvo {
namespace {
std::string folder;
bool masslynx = false;

std::string in_folder(const std::string& file)
{
    if (folder.empty()) return file;
    if (folder.back() == '/' || folder.back() == '\\') return folder + file;
    return folder + "/" + file;
}
}  // namespace

const std::string& method_folder() { return folder; }
void set_method_folder(const std::string& f) { folder = f; }
bool masslynx_mode() { return masslynx; }
void set_masslynx_mode(bool on) { masslynx = on; }
std::string method_extension() { return masslynx ? ".CDZ" : ".KME"; }

std::string document_path(const std::string& name, const std::string& extension)
{
    return in_folder(strip_extension(name) + extension);
}

std::string saved_configuration_path() { return in_folder(configuration_file_name); }

}  // namespace kelvo
