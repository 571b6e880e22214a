#pragma once
// The program's method folder: the one the application's composition root
// (the start-up of the program, a command of the command line, a test)
// sets up and hands on. Core code takes a MethodFolder (or the Context
// holding it) instead of reading these.
#include "ground/method_folder.h"

#include <string>

namespace kelvo {

// The method folder of the run (the "Method Folder" setting at start-up).
MethodFolder& program_method_folder();
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
