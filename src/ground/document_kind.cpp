#include "ground/document_kind.h"

namespace kelvo {

const char* page_word(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::sample_list: return "Sample List";
    case DocumentKind::macro: return "Macro";
    case DocumentKind::method: break;
    }
    return "Method";
}

const char* page_caption(DocumentKind kind)
{
    switch (kind) {
    case DocumentKind::sample_list: return "Sample List";
    case DocumentKind::macro: return "Macro Editor";
    case DocumentKind::method: break;
    }
    return "Method Editor";
}

const char* document_setting(DocumentKind kind) { return page_word(kind); }

}  // namespace kelvo
