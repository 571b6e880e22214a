#include "ground/documents.h"

#include "ground/text_utils.h"

namespace kelvo {

MethodFolder& program_method_folder()
{
    static MethodFolder folder = [] {
        MethodFolder f;
        f.set_debug_sink(debug_line);
        return f;
    }();
    return folder;
}

const std::string& method_folder() { return program_method_folder().folder(); }
void set_method_folder(const std::string& f) { program_method_folder().set_folder(f); }
bool masslynx_mode() { return program_method_folder().masslynx(); }
void set_masslynx_mode(bool on) { program_method_folder().set_masslynx(on); }
std::string method_extension() { return program_method_folder().extension(FolderDocument::method); }

std::string document_path(const std::string& name, const std::string& extension)
{
    const std::string& folder = method_folder();
    const std::string file = strip_extension(name) + extension;
    if (folder.empty()) return file;
    if (folder.back() == '/' || folder.back() == '\\') return folder + file;
    return folder + "/" + file;
}

std::string saved_configuration_path() { return program_method_folder().path(FolderDocument::saved_configuration); }

}  // namespace kelvo
