#include "instrument_simulator.h"

#include "ground/text_utils.h"
#include "link/protocol.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kelvo::sim {

namespace {

// Head field and the fields after it, split at ";" as the configuration
// text is (leading blanks of each field skipped).
std::vector<std::string> fields_of(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    do {
        fields.push_back(next_field(line, pos, ';'));
    } while (pos < line.size());
    return fields;
}

bool is_header(const std::string& line, const char* name) { return !line.empty() && line[0] == '[' && same_text(line, name); }

// Index of the header line, or -1; where a header occurs twice the later one counts.
int header_index(const std::vector<std::string>& lines, const char* name)
{
    int found = -1;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (is_header(lines[i], name)) found = static_cast<int>(i);
    return found;
}

bool starts_with(const std::string& text, const std::string& prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// A whole non-negative decimal number, or -1.
long long count_of(const std::string& text)
{
    if (text.empty() || text.size() > 9) return -1;
    for (char c : text)
        if (c < '0' || c > '9') return -1;
    return std::atoll(text.c_str());
}

std::string to_display_bytes(std::string text)
{
    for (char& c : text) {
        if (static_cast<unsigned char>(c) == 0xB5) c = static_cast<char>(0x9D);
        else if (static_cast<unsigned char>(c) == 0xB0) c = static_cast<char>(0x91);
    }
    return text;
}

}  // namespace

std::vector<SimAtom> read_atoms(const std::vector<std::string>& lines)
{
    std::vector<SimAtom> atoms;
    const int header = header_index(lines, "[atoms]");
    if (header < 0) return atoms;
    for (std::size_t i = static_cast<std::size_t>(header) + 1; i < lines.size(); ++i) {
        std::size_t pos = 0;
        const std::string head = next_field(lines[i], pos, ';');
        if (!head.empty() && head[0] == '!')
            atoms.push_back(SimAtom{head.substr(1), 0});
        else if (!atoms.empty() && !lines[i].empty())
            ++atoms.back().argument_count;
    }
    return atoms;
}

std::string garble(const std::string& bytes, int sent_speed, int read_speed)
{
    if (sent_speed == read_speed) return bytes;
    std::string out;
    if (sent_speed > read_speed) {
        // Too fast for the receiver: a few framing-error bytes per burst.
        const std::size_t group = static_cast<std::size_t>(read_speed > 0 ? (sent_speed + read_speed - 1) / read_speed : 4);
        for (std::size_t i = 0; i < bytes.size(); i += group)
            out.push_back(static_cast<char>(0x80 | (static_cast<unsigned char>(bytes[i]) >> 1)));
    } else {
        // Too slow: every bit is seen several times over.
        for (char c : bytes) {
            out.push_back(static_cast<char>(0xE0 | (static_cast<unsigned char>(c) & 0x0F)));
            out.push_back(static_cast<char>(0xFE));
        }
    }
    return out;
}

InstrumentSimulator::InstrumentSimulator() = default;

void InstrumentSimulator::set_configuration(std::vector<std::string> lines)
{
    configuration_ = std::move(lines);
    atoms_ = read_atoms(configuration_);
    if (syringe_.empty()) {
        const int objects = header_index(configuration_, "[objects]");
        const int end = header_index(configuration_, "[atoms]");
        for (int i = objects + 1; objects >= 0 && i < static_cast<int>(configuration_.size()) && i != end; ++i) {
            const std::vector<std::string> f = fields_of(configuration_[static_cast<std::size_t>(i)]);
            if (f.size() > 1 && same_text(f[0], "SYRINGE")) {
                syringe_ = f[1];
                break;
            }
        }
    }
}

bool InstrumentSimulator::apply_control(const std::string& line, std::string* error)
{
    std::size_t pos = 0;
    const std::string word = next_field(line, pos, ' ');
    std::string rest = pos < line.size() ? line.substr(pos) : std::string();
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\r' || rest.back() == '\n')) rest.pop_back();
    const long long number = count_of(rest);
    auto fail = [&](const std::string& text) {
        if (error) *error = text;
        return false;
    };
    auto on_off = [&](bool& flag) {
        if (rest == "on" || rest.empty()) flag = true;
        else if (rest == "off") flag = false;
        else return fail("expected on or off: " + line);
        return true;
    };
    if (word == "error-atom") {
        if (number < 0) return fail("expected a number: " + line);
        faults_.error_atom_number = static_cast<int>(number);
        atom_commands_ = 0;
    } else if (word == "error-atom-name") {
        if (rest.empty()) return fail("expected an atom name: " + line);
        faults_.error_atom_names.push_back(rest);
    } else if (word == "error-text") {
        if (rest.empty()) return fail("expected a text: " + line);
        faults_.error_text = rest;
    } else if (word == "busy") {
        if (number < 0) return fail("expected a number: " + line);
        faults_.busy_count = static_cast<int>(number);
    } else if (word == "busy-atom") {
        const std::size_t blank = rest.find(' ');
        const long long n = count_of(rest.substr(0, blank));
        const long long ms = blank == std::string::npos ? -1 : count_of(rest.substr(blank + 1));
        if (n < 0 || ms < 0) return fail("expected two numbers: " + line);
        faults_.busy_atom_number = static_cast<int>(n);
        faults_.busy_atom_ms = static_cast<int>(ms);
        atom_commands_ = 0;
    } else if (word == "silent") {
        return on_off(faults_.silent);
    } else if (word == "silent-on") {
        if (rest.empty()) return fail("expected a text: " + line);
        faults_.silent_on.push_back(rest);
    } else if (word == "garbage") {
        if (number < 0) return fail("expected a number: " + line);
        faults_.garbage_bytes = static_cast<int>(number);
    } else if (word == "display-chars") {
        return on_off(faults_.display_chars);
    } else if (word == "close-after") {
        const std::size_t blank = rest.find(' ');
        const long long lines = count_of(rest.substr(0, blank));
        const long long bytes = blank == std::string::npos ? -1 : count_of(rest.substr(blank + 1));
        if (lines < 0 || (blank != std::string::npos && bytes < 0)) return fail("expected a number: " + line);
        faults_.close_after_lines = static_cast<int>(lines);
        faults_.close_after_bytes = static_cast<int>(bytes);
        lines_received_ = 0;
    } else if (word == "split") {
        std::vector<int> offsets;
        std::size_t at = 0;
        while (at <= rest.size()) {
            const std::size_t comma = std::min(rest.find(',', at), rest.size());
            const long long offset = count_of(rest.substr(at, comma - at));
            if (offset < 0) return fail("expected numbers separated by \",\": " + line);
            offsets.push_back(static_cast<int>(offset));
            at = comma + 1;
        }
        std::sort(offsets.begin(), offsets.end());
        faults_.split_at = offsets;
    } else if (word == "split-gap" || word == "delay" || word == "pace-factor") {
        if (number < 0) return fail("expected a number: " + line);
        if (word == "split-gap") faults_.split_gap_ms = static_cast<int>(number);
        else if (word == "delay") faults_.delay_ms = static_cast<int>(number);
        else pace_factor_ = static_cast<int>(number);
    } else if (word == "line-end") {
        if (rest == "cr") faults_.line_end = "\r";
        else if (rest == "lf") faults_.line_end = "\n";
        else if (rest == "crlf") faults_.line_end = "\r\n";
        else return fail("expected cr, lf or crlf: " + line);
    } else if (word == "atom-time") {
        const std::size_t blank = rest.rfind(' ');
        const long long ms = count_of(blank == std::string::npos ? rest : rest.substr(blank + 1));
        if (ms < 0) return fail("expected milliseconds: " + line);
        if (blank == std::string::npos) set_atom_time_ms(static_cast<int>(ms));
        else set_atom_time_ms(rest.substr(0, blank), static_cast<int>(ms));
    } else if (word == "close") {
        close_requested_ = true;
    } else if (word == "baud") {
        if (number != normal_speed && number != fast_speed) return fail("expected 9600 or 38400: " + line);
        speed_ = static_cast<int>(number);
    } else if (word == "clear") {
        faults_ = SimFaults{};
    } else {
        return fail("unknown control: " + line);
    }
    return true;
}

void InstrumentSimulator::set_atom_time_ms(const std::string& atom, int ms)
{
    for (auto& [name, time] : atom_times_)
        if (same_text(name, atom)) {
            time = ms;
            return;
        }
    atom_times_.emplace_back(atom, ms);
}

int InstrumentSimulator::atom_time_ms(const std::string& atom) const
{
    for (const auto& [name, time] : atom_times_)
        if (same_text(name, atom)) return time;
    return atom_time_ms_;
}

double InstrumentSimulator::byte_us(int speed) const
{
    if (pace_factor_ <= 0 || speed <= 0) return 0.0;
    return 10.0 * 1e6 / (static_cast<double>(speed) * pace_factor_);
}

void InstrumentSimulator::receive(const std::string& bytes, int line_speed)
{
    // The bytes cross the line one after the other from now (or from the
    // end of what is still crossing); a line is handled at its CR's time.
    const double per_byte = byte_us(line_speed);
    double at = static_cast<double>(std::max(now_us_, rx_free_us_));
    for (char c : garble(bytes, line_speed, speed_)) {
        at += per_byte;
        if (c == '\r') {
            std::string line;
            line.swap(line_buffer_);
            event_us_ = std::llround(at);
            handle_line(line);
        } else if (c != '\n') {
            line_buffer_.push_back(c);
        }
    }
    rx_free_us_ = std::llround(at);
}

std::string InstrumentSimulator::take(int line_speed, bool whole)
{
    std::string out;
    std::size_t done = 0;
    for (; done < output_.size(); ++done) {
        Chunk& chunk = output_[done];
        std::size_t due = chunk.bytes.size();
        if (!whole) {
            if (now_us_ < chunk.start_us) break;
            const double per_byte = byte_us(chunk.speed);
            if (per_byte > 0) {
                const double crossed = static_cast<double>(now_us_ - chunk.start_us) / per_byte;
                due = std::min(due, static_cast<std::size_t>(crossed));
            }
        }
        out += garble(chunk.bytes.substr(chunk.sent, due - chunk.sent), chunk.speed, line_speed);
        chunk.sent = due;
        if (due < chunk.bytes.size()) break;
        if (chunk.close_at_end) {
            // The device goes; nothing queued after this point arrives.
            close_requested_ = true;
            output_.clear();
            return out;
        }
    }
    output_.erase(output_.begin(), output_.begin() + static_cast<std::ptrdiff_t>(done));
    return out;
}

std::string InstrumentSimulator::take_output(int line_speed) { return take(line_speed, true); }

std::string InstrumentSimulator::take_due_output(int line_speed) { return take(line_speed, false); }

std::int64_t InstrumentSimulator::us_to_next_output() const
{
    if (output_.empty()) return -1;
    const Chunk& chunk = output_.front();
    // A UART hands bytes on in small groups: wake for the next sixteen, or
    // the end of the piece, whichever comes first.
    const std::size_t next = std::min(chunk.sent + 16, chunk.bytes.size());
    const auto at = chunk.start_us + static_cast<std::int64_t>(std::ceil(static_cast<double>(next) * byte_us(chunk.speed)));
    return std::max<std::int64_t>(0, at - now_us_);
}

void InstrumentSimulator::advance_us(std::int64_t us)
{
    now_us_ += us;
    if (atom_running_ && now_us_ >= atom_end_us_) atom_running_ = false;
}

std::int64_t InstrumentSimulator::ms_to_atom_end() const
{
    if (!atom_running()) return -1;
    return (atom_end_us_ - now_us_ + 999) / 1000;
}

void InstrumentSimulator::answer(const std::string& line)
{
    if (pending_answer_.empty()) pending_speed_ = speed_;
    if (faults_.garbage_bytes > 0) {
        for (int i = 0; i < faults_.garbage_bytes; ++i) pending_answer_.push_back(static_cast<char>(0xA0 + (i * 7) % 0x5F));
        faults_.garbage_bytes = 0;
    }
    pending_answer_ += faults_.display_chars ? to_display_bytes(line) : line;
    pending_answer_ += faults_.line_end;
}

void InstrumentSimulator::flush_answer()
{
    std::string bytes;
    bytes.swap(pending_answer_);
    const int speed = pending_speed_ ? pending_speed_ : speed_;
    pending_speed_ = 0;
    if (bytes.empty() && !close_in_answer_) return;
    std::size_t close_at = std::string::npos;
    if (close_in_answer_) {
        close_in_answer_ = false;
        close_at = faults_.close_after_bytes >= 0 ? static_cast<std::size_t>(faults_.close_after_bytes)
                                                  : std::max<std::size_t>(1, bytes.size() / 2);
        close_at = std::min(close_at, bytes.size());
    }
    // Cut points: the split offsets inside the answer, and the close point.
    std::vector<std::size_t> cuts;
    for (int offset : faults_.split_at)
        if (offset > 0 && static_cast<std::size_t>(offset) < std::min(bytes.size(), close_at))
            cuts.push_back(static_cast<std::size_t>(offset));
    cuts.push_back(std::min(bytes.size(), close_at));
    const double per_byte = byte_us(speed);
    std::int64_t start = std::max(event_us_ + faults_.delay_ms * std::int64_t{1000}, line_free_us_);
    std::size_t from = 0;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        if (i > 0) start += faults_.split_gap_ms * std::int64_t{1000};
        Chunk chunk{speed, bytes.substr(from, cuts[i] - from), start};
        chunk.close_at_end = i + 1 == cuts.size() && close_at != std::string::npos;
        start += static_cast<std::int64_t>(std::ceil(static_cast<double>(chunk.bytes.size()) * per_byte));
        output_.push_back(std::move(chunk));
        from = cuts[i];
    }
    line_free_us_ = start;
}

bool InstrumentSimulator::silenced(const std::string& line) const
{
    if (faults_.silent) return true;
    for (const std::string& prefix : faults_.silent_on)
        if (starts_with(line, prefix)) return true;
    return false;
}

void InstrumentSimulator::handle_line(const std::string& line)
{
    transcript_.push_back(line);
    if (transcript_sink_) transcript_sink_(TranscriptLine{event_us_ / 1000, line});
    ++lines_received_;
    if (faults_.close_after_lines > 0 && lines_received_ == faults_.close_after_lines) close_in_answer_ = true;
    if (!silenced(line)) dispatch(line);
    flush_answer();
}

void InstrumentSimulator::dispatch(const std::string& line)
{
    if (line == protocol::get_status) {
        if (faults_.busy_count > 0) {
            --faults_.busy_count;
            answer(protocol::busy);
        } else {
            answer(running_at(event_us_) ? protocol::busy : protocol::ready);
        }
    } else if (line == protocol::set_fast_speed || line == protocol::set_normal_speed) {
        // Answered at the old speed; the new one holds from the next byte.
        answer(protocol::ready);
        flush_answer();
        speed_ = line == protocol::set_fast_speed ? fast_speed : normal_speed;
    } else if (line == protocol::get_configuration) {
        for (const std::string& l : configuration_) answer(l);
        answer(protocol::ready);
    } else if (line == protocol::get_firmware_version) {
        answer(firmware_);
        answer(protocol::ready);
    } else if (line == protocol::get_syringe) {
        answer(syringe_);
        answer(protocol::ready);
    } else if (line == protocol::get_atom_info) {
        if (running_at(event_us_)) {
            answer(atom_name_ + " running, " + std::to_string((atom_end_us_ - event_us_ + 999) / 1000) + " ms left");
            answer(protocol::answer_end);
        } else {
            answer(atom_name_.empty() ? std::string("idle") : atom_name_ + " done");
            answer(protocol::atom_end);
        }
    } else if (line == protocol::cancel) {
        // The atom stops; the program sees it finished at its next poll.
        atom_running_ = false;
    } else if (starts_with(line, "DLD_OBJ ")) {
        download_object(line.substr(8));
    } else if (line.find('(') != std::string::npos && line.back() == ')') {
        answer_atom(line);
    } else {
        answer("@unknown command " + line);
    }
}

void InstrumentSimulator::answer_atom(const std::string& line)
{
    const std::size_t open = line.find('(');
    const std::string name = line.substr(0, open);
    const std::string inside = line.substr(open + 1, line.size() - open - 2);
    const SimAtom* atom = nullptr;
    for (const SimAtom& a : atoms_)
        if (same_text(a.name, name)) atom = &a;
    if (!atom) {
        answer("@unknown atom " + name);
        return;
    }
    int count = 0;
    if (!inside.empty()) {
        count = 1;
        for (char c : inside)
            if (c == ',') ++count;
        // The program writes every argument followed by ",".
        if (inside.back() == ',' && count == atom->argument_count + 1) --count;
    }
    if (count != atom->argument_count) {
        answer("@wrong number of arguments for " + atom->name);
        return;
    }
    ++atom_commands_;
    if (faults_.busy_atom_number > 0 && atom_commands_ == faults_.busy_atom_number) {
        // Something else keeps the instrument occupied for a while.
        atom_running_ = true;
        atom_name_ = "occupied";
        atom_end_us_ = event_us_ + faults_.busy_atom_ms * std::int64_t{1000};
    }
    bool fails = faults_.error_atom_number > 0 && atom_commands_ == faults_.error_atom_number;
    for (const std::string& n : faults_.error_atom_names)
        if (same_text(n, atom->name)) fails = true;
    if (fails) {
        answer(faults_.error_text.empty() ? "@error in atom " + atom->name : faults_.error_text);
        return;
    }
    if (running_at(event_us_)) {
        answer(protocol::busy);
        return;
    }
    answer(protocol::answer_end);
    atom_name_ = atom->name;
    const int ms = atom_time_ms(atom->name);
    atom_running_ = ms > 0;
    atom_end_us_ = event_us_ + ms * std::int64_t{1000};
}

void InstrumentSimulator::download_object(const std::string& object_line)
{
    const std::vector<std::string> f = fields_of(object_line);
    const int objects = header_index(configuration_, "[objects]");
    const int atoms = header_index(configuration_, "[atoms]");
    if (f.size() < 2 || f[1].empty() || objects < 0 || atoms < objects) {
        answer("@bad object line");
        return;
    }
    for (int i = objects + 1; i < atoms; ++i) {
        std::string& existing = configuration_[static_cast<std::size_t>(i)];
        const std::vector<std::string> e = fields_of(existing);
        if (e.size() > 1 && same_text(e[0], f[0]) && same_text(e[1], f[1])) {
            existing = object_line;
            answer(protocol::ready);
            return;
        }
    }
    answer("@unknown object " + f[1]);
}

}  // namespace kelvo::sim
