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
// is written in UTF-8; a UTF-16 export ("Windows Registry Editor Version
// 5.00", what Windows gives) is read as well and written back as REGEDIT4.
//
// The file is parsed once and indexed by key and value name; it is parsed
// again only when it changed on disk. Every write rewrites it through a
// temporary file and a rename, keeping every line the program does not own
// (comments, other keys, values it cannot read) where it was. A damaged file
// is read as far as its lines make sense. A file that exists but cannot be
// read (no permission, not a regular file, too large) makes the key
// unavailable: nothing is written over it.
#include "ground/settings.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kelvo {

inline constexpr const char* settings_root_key = "HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor";
// Far above any real settings file (10 000 folders take about 0.5 MB).
inline constexpr std::uintmax_t settings_file_limit = 64u * 1024 * 1024;

class RegFileSettingsStore final : public SettingsStore {
public:
    explicit RegFileSettingsStore(std::string path);
    ~RegFileSettingsStore() override;
    bool available() override;
    std::optional<SettingValue> read(const std::string& subkey, const std::string& name) override;
    void write(const std::string& subkey, const std::string& name, const SettingValue& value) override;
    std::vector<NamedSettingValue> values(const std::string& subkey) override;
    void delete_value(const std::string& subkey, const std::string& name) override;
    void delete_all_values(const std::string& subkey) override;
    void replace_values(const std::string& subkey, const std::vector<NamedSettingValue>& values) override;
    const std::string& path() const { return path_; }

    // The bytes of a settings file as UTF-8 text: a UTF-16 file (with its
    // byte order mark, or without one when it starts "W\0" or "\0W") is
    // converted, a UTF-8 byte order mark dropped.
    static std::string decode(const std::string& bytes);

    struct Document;

private:
    // Makes the parsed file current; false when the file cannot be read.
    bool refresh();
    bool save();
    std::string path_;
    std::unique_ptr<Document> doc_;
};

}  // namespace kelvo
