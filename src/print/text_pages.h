#pragma once
// The plain-text page layout of the printouts (methods, macros, the log):
// a fixed-pitch font, a page header "Page x of y" on line 1 of every page,
// plain lines at five characters from the left and bold underlined
// headings. The layout is pure arithmetic over the printer's metrics; it
// yields the texts with their page and position, and the printer draws
// them.
#include <string>
#include <vector>

namespace kelvo {

inline constexpr const char* text_page_font_name = "Courier New";
inline constexpr int text_page_font_size = 10;
// The page header stands this many characters from the right edge.
inline constexpr int text_page_margin = 8;

// What the layout needs to know of the printer, in printer pixels.
struct TextPageMetrics {
    int font_size = text_page_font_size;  // points
    int pixels_per_inch = 0;              // of the font on the canvas
    int page_width = 0;
    int page_height = 0;
    int char_width = 0;                   // the printed width of "A"
};

// One text on one page; y is the top of its line.
struct TextPageItem {
    int page = 1;
    int x = 0;
    int y = 0;
    std::string text;
    bool heading = false;  // bold underlined
    bool operator==(const TextPageItem&) const = default;
};

class TextPages {
public:
    // Begins a print job for about estimated_lines lines of text.
    TextPages(const TextPageMetrics& metrics, int estimated_lines);

    // A line at five characters from the left; an empty text leaves the
    // line empty.
    void plain_line(const std::string& text);
    // The text from its first non-blank character, bold underlined, at x.
    void heading(int x, const std::string& text);
    // At (position of the first non-blank character + 4) characters.
    void indented_heading(const std::string& text);
    void centred_heading(const std::string& text);

    int line_height() const { return line_height_; }
    int lines_per_page() const { return lines_per_page_; }
    int char_width() const { return metrics_.char_width; }
    // The count the header announces (from the estimate).
    int total_pages() const { return total_pages_; }
    // The pages actually used so far.
    int pages_used() const { return page_; }
    const std::vector<TextPageItem>& items() const { return items_; }

private:
    void before_line();
    void put(int x, const std::string& text, bool heading);

    TextPageMetrics metrics_;
    int line_height_ = 1;
    int lines_per_page_ = 2;
    int total_pages_ = 1;
    int page_ = 1;
    int line_ = 1;
    std::vector<TextPageItem> items_;
};

// The page header text.
std::string page_header_text(int page, int total_pages);

}  // namespace kelvo
