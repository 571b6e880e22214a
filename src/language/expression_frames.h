#pragma once
// The pieces the expression deciders share: the unit slots of one test, the
// unit combinations of an operation, and the chain of frames that gives
// every part of a text its normal form. Private to the expression files.
#include <deque>
#include <string>
#include <utility>
#include <vector>

namespace kelvo::expression_detail {

inline bool is_operator_char(char c) { return c == '(' || c == ')' || c == '*' || c == '+' || c == '-' || c == '/'; }

// --- units ---
//
// Only the unit asked for, the empty unit, "µl", "µl/s" and "s" ever occur
// in one test, so units are small indexes; any other unit asked for takes
// the last slot.
enum Unit : int { unit_none = 0, unit_ul = 1, unit_ul_per_s = 2, unit_s = 3, unit_other = 4, unit_slots = 5 };

class UnitTable {
public:
    explicit UnitTable(const std::string& asked)
    {
        names_[unit_none] = "";
        names_[unit_ul] = "\xB5l";
        names_[unit_ul_per_s] = "\xB5l/s";
        names_[unit_s] = "s";
        names_[unit_other] = asked;
        asked_ = unit_other;
        for (int u = 0; u < unit_other; ++u)
            if (names_[u] == asked) asked_ = u;
    }
    int asked() const { return asked_; }
    const std::string& name(int u) const { return names_[u]; }

private:
    std::string names_[unit_slots];
    int asked_;
};

struct Combination {
    int left, right;
};

// The unit combinations of an operation asked for unit u, in the order tried.
inline int combinations(char op, int u, Combination out[4])
{
    int n = 0;
    switch (op) {
    case '+':
    case '-':
        out[n++] = {u, u};
        break;
    case '*':
        out[n++] = {u, unit_none};
        out[n++] = {unit_none, u};
        if (u == unit_ul) {
            out[n++] = {unit_ul_per_s, unit_s};
            out[n++] = {unit_s, unit_ul_per_s};
        }
        break;
    case '/':
        out[n++] = {u, unit_none};
        if (u == unit_ul_per_s) out[n++] = {unit_ul, unit_s};
        break;
    default:
        break;
    }
    return n;
}

// --- the parts of a text ---
//
// Every part is normalised again before it is tested. Parts are ranges of the
// whole text's normal form, and a range normally is its own normal form: a
// blank next to an operator was dropped already. Only where a run of blanks
// touched an operator does a blank survive next to one ("a  +b" becomes
// "a +b"); such stray blanks are dropped by the normal form of any part that
// holds them. A frame is a text and its ranges; the next frame is the same
// text without its stray blanks, and the normal form of a range that holds
// stray blanks is the corresponding range of the next frame. Every part that
// the rules reach begins after an operator (or at the start) and ends before
// one (or at the end), so a blank at either end of it is stray as well.
class FrameChain {
public:
    explicit FrameChain(std::string top) { add(std::move(top)); }

    const std::string& text(int f) const { return frames_[static_cast<std::size_t>(f)].text; }
    int frame_count() const { return static_cast<int>(frames_.size()); }

    // Stray blanks of frame f in [0, i).
    int stray_before(int f, int i) const
    {
        return frames_[static_cast<std::size_t>(f)].stray_before[static_cast<std::size_t>(i)];
    }
    // Whether frame f has stray blanks, that is a next frame.
    bool has_stray(int f) const
    {
        const Frame& frame = frames_[static_cast<std::size_t>(f)];
        return frame.stray_before.back() != 0;
    }
    // Makes every frame down to the one without stray blanks.
    void complete()
    {
        for (int f = 0; has_stray(f); ++f) {
            int b = 0, e = static_cast<int>(text(f).size()), g = f;
            to_normal_form(g, b, e);
        }
    }

    // The first position from i on that holds + - * /, or the text's size.
    int next_operator(int f, int i) const
    {
        return frames_[static_cast<std::size_t>(f)].next_operator[static_cast<std::size_t>(i)];
    }

    // Moves frame f's range [b, e) to the range that holds its normal form.
    void to_normal_form(int& f, int& b, int& e)
    {
        Frame* frame = &frames_[static_cast<std::size_t>(f)];
        if (frame->stray_before[static_cast<std::size_t>(e)] == frame->stray_before[static_cast<std::size_t>(b)]) return;
        if (frame->next < 0) {
            std::string next;
            const std::string& t = frame->text;
            for (std::size_t i = 0; i < t.size(); ++i)
                if (frame->stray_before[i + 1] == frame->stray_before[i]) next += t[i];
            frame->next = static_cast<int>(frames_.size());
            add(std::move(next));
            frame = &frames_[static_cast<std::size_t>(f)];
        }
        // A kept character's position in the next frame is the number of kept characters before it.
        b -= frame->stray_before[static_cast<std::size_t>(b)];
        e -= frame->stray_before[static_cast<std::size_t>(e)];
        f = frame->next;
    }

private:
    struct Frame {
        std::string text;
        std::vector<int> stray_before;   // stray blanks in [0, i)
        std::vector<int> next_operator;  // so that the split scan skips operands at once
        int next = -1;
    };

    void add(std::string text)
    {
        Frame frame;
        frame.text = std::move(text);
        const std::string& t = frame.text;
        const std::size_t n = t.size();
        frame.stray_before.assign(n + 1, 0);
        for (std::size_t i = 0; i < n; ++i) {
            const bool stray = t[i] == ' ' && (i == 0 || i + 1 == n || is_operator_char(t[i - 1]) || is_operator_char(t[i + 1]));
            frame.stray_before[i + 1] = frame.stray_before[i] + (stray ? 1 : 0);
        }
        frame.next_operator.assign(n + 1, static_cast<int>(n));
        for (std::size_t i = n; i-- > 0;) {
            const char c = t[i];
            frame.next_operator[i] = (c == '+' || c == '-' || c == '*' || c == '/') ? static_cast<int>(i)
                                                                                  : frame.next_operator[i + 1];
        }
        frames_.push_back(std::move(frame));  // a deque: earlier frames stay where they are
    }

    std::deque<Frame> frames_;
};

}  // namespace kelvo::expression_detail
