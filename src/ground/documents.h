#pragma once
// Where documents live: all three kinds directly in the method folder.
#include <string>

namespace kelvo {

inline constexpr const char* macro_extension = ".kma";
inline constexpr const char* sample_list_extension = ".ksl";
inline constexpr const char* configuration_file_name = "latest_kelvo.kol";

// The method folder of the run (the "Method Folder" setting at start-up).
const std::string& method_folder();
void set_method_folder(const std::string& folder);

// MassLynx mode changes the method extension to ".CDZ".
bool masslynx_mode();
void set_masslynx_mode(bool on);
std::string method_extension();

// The method folder, the separator, the name cut before its first ".", and
// the extension.
std::string document_path(const std::string& name, const std::string& extension);
// The saved copy of the instrument configuration in the method folder.
std::string saved_configuration_path();

}  // namespace kelvo
