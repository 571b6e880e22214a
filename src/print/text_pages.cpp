#include "print/text_pages.h"

#include "ground/text_utils.h"

#include <cstdlib>

namespace kelvo {

std::string page_header_text(int page, int total_pages)
{
    return "Page " + std::to_string(page) + " of " + std::to_string(total_pages);
}

TextPages::TextPages(const TextPageMetrics& metrics, int estimated_lines) : metrics_(metrics)
{
    line_height_ = std::abs(metrics.font_size * metrics.pixels_per_inch / 72);
    // A canvas without a resolution would put every line at the top.
    if (line_height_ < 1) line_height_ = 1;
    lines_per_page_ = metrics.page_height / line_height_ - 7;
    // A page too short for the header and one line of text still needs to
    // move on, or every line would land on one page.
    if (lines_per_page_ < 3) lines_per_page_ = 3;
    total_pages_ = (estimated_lines < 0 ? 0 : estimated_lines) / lines_per_page_ + 1;
}

void TextPages::before_line()
{
    if (line_ == lines_per_page_) {
        ++page_;
        line_ = 1;
    }
    if (line_ == 1) {
        const std::string header = page_header_text(page_, total_pages_);
        const int x = metrics_.page_width - static_cast<int>(header.size() + text_page_margin) * metrics_.char_width;
        items_.push_back({page_, x, line_ * line_height_, header, false});
        ++line_;
    }
}

void TextPages::put(int x, const std::string& text, bool heading)
{
    before_line();
    if (!text.empty()) items_.push_back({page_, x, line_ * line_height_, text, heading});
    ++line_;
}

void TextPages::plain_line(const std::string& text) { put(5 * metrics_.char_width, text, false); }

void TextPages::heading(int x, const std::string& text)
{
    if (text.empty()) {
        plain_line(text);
        return;
    }
    put(x, text.substr(first_non_blank(text) - 1), true);
}

void TextPages::indented_heading(const std::string& text)
{
    heading(static_cast<int>(first_non_blank(text) + 4) * metrics_.char_width, text);
}

void TextPages::centred_heading(const std::string& text)
{
    const int visible = static_cast<int>(text.size()) - static_cast<int>(first_non_blank(text));
    heading((metrics_.page_width - visible * metrics_.char_width) / 2, text);
}

}  // namespace kelvo
