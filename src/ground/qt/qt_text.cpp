#include "ground/qt/qt_text.h"

#include "ground/cp1252.h"

namespace kelvo {

QString to_qstring(const std::string& cp1252)
{
    QString out;
    out.reserve(static_cast<qsizetype>(cp1252.size()));
    for (unsigned char c : cp1252) out.append(QChar(static_cast<char16_t>(cp1252_to_unicode(c))));
    return out;
}

std::string from_qstring(const QString& text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        unsigned char byte;
        unicode_to_cp1252(ch.unicode(), byte);
        out += static_cast<char>(byte);
    }
    return out;
}

}  // namespace kelvo
