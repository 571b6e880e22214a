#pragma once
// The settings key kept in one text file in the syntax of a registry export,
// so that it reads like the key it stands for, can be seeded by hand, and
// keeps value names verbatim:
//
//   REGEDIT4
//
//   [HKEY_CURRENT_USER\SOFTWARE\Qerant\Kelvo\Cadenzor]
//   "Atom timeout (msec)"=dword:00000bb8
//   "Method Folder"="/home/lab/methods"
//
// Names and texts are quoted with \\ and \" escapes (and \r, \n for line
// breaks, which a registry export cannot show); integers are dword: with
// eight hex digits; binary values hex: with comma-separated bytes. The file
// is UTF-8. Every access reads the file; every write rewrites it through a
// temporary file and a rename. A damaged file is read as far as its lines
// make sense; lines that do not are skipped.
#include "ground/settings.h"

#include <string>

namespace kelvo {

inline constexpr const char* settings_root_key = "HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor";

class RegFileSettingsStore final : public SettingsStore {
public:
    explicit RegFileSettingsStore(std::string path);
    bool available() override;
    std::optional<SettingValue> read(const std::string& subkey, const std::string& name) override;
    void write(const std::string& subkey, const std::string& name, const SettingValue& value) override;
    std::vector<NamedSettingValue> values(const std::string& subkey) override;
    void delete_value(const std::string& subkey, const std::string& name) override;
    void delete_all_values(const std::string& subkey) override;
    const std::string& path() const { return path_; }

    // The file's text parsed into keys (full key paths), and written back.
    static MemorySettingsStore parse(const std::string& text);
    static std::string format(const MemorySettingsStore& keys);

private:
    MemorySettingsStore load() const;
    bool save(const MemorySettingsStore& keys) const;
    std::string path_;
};

}  // namespace kelvo
