#pragma once
// The method folder: every document the program keeps lives directly in it.
// One MethodFolder maps a kind of document and a name to a file, tells
// whether the file is there, lists the documents of a kind, and reads and
// writes them (writes go through a temporary file and a rename). Names and
// paths are Windows-1252 text, as the documents and the settings hold them.
#include "ground/debug_lines.h"
#include "ground/document_kind.h"

#include <string>
#include <vector>

namespace kelvo {

inline constexpr const char* macro_extension = ".kma";
inline constexpr const char* sample_list_extension = ".ksl";
inline constexpr const char* export_extension = ".txt";
inline constexpr const char* configuration_file_name = "latest_kelvo.kol";
inline constexpr const char* tray_report_file_name = "TrayInfo.txt";

// What a file of the method folder holds. The tray report and the saved
// configuration have one fixed file name; the others are named.
enum class FolderDocument { macro, method, sample_list, export_table, tray_report, saved_configuration };

// The folder kind of an editor page's document.
FolderDocument folder_document(DocumentKind kind);

class MethodFolder {
public:
    MethodFolder() = default;
    explicit MethodFolder(std::string folder, bool masslynx = false);

    // The folder itself; empty for the working folder.
    const std::string& folder() const { return folder_; }
    void set_folder(const std::string& folder) { folder_ = folder; }
    // MassLynx mode changes the method extension to ".CDZ".
    bool masslynx() const { return masslynx_; }
    void set_masslynx(bool on) { masslynx_ = on; }
    // Where a listing reports a file name it cannot show (empty: nowhere).
    void set_debug_sink(DebugSink sink) { debug_ = std::move(sink); }
    const DebugSink& debug_sink() const { return debug_; }

    // ".kma", ".KME" (".CDZ" in MassLynx mode), ".ksl", ".txt"; the tray
    // report and the saved configuration have none of their own.
    std::string extension(FolderDocument kind) const;
    // The folder, a separator unless the folder ends with one, and the file
    // name: the name cut before its first "." and the kind's extension (the
    // fixed file name for the tray report and the saved configuration,
    // whatever the name).
    std::string path(FolderDocument kind, const std::string& name = {}) const;
    // The same file also when the file system holds it under another letter
    // case; path() when there is none.
    std::string existing_path(FolderDocument kind, const std::string& name = {}) const;
    // A regular file (or a link to one) is there.
    bool exists(FolderDocument kind, const std::string& name = {}) const;
    // The names of the kind's files (cut at their first "."), each once
    // without regard to case, sorted without regard to case. Folders named
    // like a document are left out. The tray report and the saved
    // configuration list their file title when the file is there.
    std::vector<std::string> names(FolderDocument kind) const;

    // The lines of the document (the file's size bound and regular-file check
    // apply); false when it cannot be read.
    bool read_lines(FolderDocument kind, const std::string& name, std::vector<std::string>& lines) const;
    bool read_bytes(FolderDocument kind, const std::string& name, std::string& bytes) const;
    // Writes the document through a temporary file and a rename, to the file
    // existing_path() finds. False (and the old file untouched) on failure.
    bool write(FolderDocument kind, const std::string& name, const std::string& bytes) const;

private:
    std::string in_folder(const std::string& file) const;

    std::string folder_;
    bool masslynx_ = false;
    DebugSink debug_;
};

}  // namespace kelvo
