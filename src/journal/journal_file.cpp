#include "journal/journal_file.h"

#include "ground/log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>

namespace kelvo {

std::string default_journal_path()
{
    const std::filesystem::path log(log_path());
    return (log.parent_path() / journal_file_name).string();
}

JournalFile::~JournalFile()
{
    if (fd_ >= 0) ::close(fd_);
}

bool JournalFile::open()
{
    if (fd_ >= 0) return true;
    fd_ = ::open(path_.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

bool JournalFile::append(const JournalRecord& record)
{
    if (path_.empty() || !open()) return false;
    // Invalid UTF-8 in a text is replaced, never thrown about.
    std::string line = record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
    line += '\n';
    const char* p = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t n = ::write(fd_, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return ::fdatasync(fd_) == 0;
}

std::vector<JournalRecord> read_journal(const std::string& path)
{
    std::vector<JournalRecord> records;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return records;
    std::ifstream in(path, std::ios::binary);
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > max_journal_bytes) {
        in.seekg(static_cast<std::streamoff>(size - max_journal_bytes));
        std::string partial;
        std::getline(in, partial);  // the line cut by the seek
    }
    for (std::string line; std::getline(in, line);) {
        if (line.empty()) continue;
        JournalRecord r = JournalRecord::parse(line, nullptr, false);
        if (r.is_object()) records.push_back(std::move(r));
    }
    return records;
}

}  // namespace kelvo
