#pragma once
// The three kinds of document, one per editor page of the main window.
#include <string>

namespace kelvo {

enum class DocumentKind { sample_list = 0, method = 1, macro = 2 };
// The pages are named by the kind of document they edit.
using Page = DocumentKind;

inline constexpr DocumentKind all_document_kinds[] = {DocumentKind::sample_list, DocumentKind::method,
                                                      DocumentKind::macro};

// The word of the menu captions: "Sample List", "Method", "Macro".
const char* page_word(DocumentKind kind);
// The page's tab caption: "Sample List", "Method Editor", "Macro Editor".
const char* page_caption(DocumentKind kind);
// The setting that keeps the kind's current name: "Sample List", "Method", "Macro".
const char* document_setting(DocumentKind kind);

}  // namespace kelvo
