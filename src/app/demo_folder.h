#pragma once
// The demo method folder that the package installs, and the user's copy of
// it that the first start offers: the installed folder is read-only, while a
// method folder receives the saved configuration and the tray report.
#include <string>

namespace kelvo {

// The installed demo folder for a program in program_dir
// (PREFIX/bin -> PREFIX/share/cadenzor/examples/methods), as a Windows-1252
// path; empty when there is none (a build tree) or its path cannot be held.
std::string installed_demo_folder(const std::string& program_dir);

// Where the user's copy goes: $XDG_DATA_HOME/Qerant/Cadenzor/Demo Methods,
// else ~/.local/share/...; empty when no home is known or the path cannot be
// held in Windows-1252.
std::string demo_copy_folder();

// Makes `to` (and its parents) and copies the regular files of `from` that
// `to` does not have yet; what the user changed there stays. False when the
// folder cannot be made or a file cannot be copied.
bool copy_demo_folder(const std::string& from, const std::string& to);

}  // namespace kelvo
