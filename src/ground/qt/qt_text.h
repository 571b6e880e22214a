#pragma once
// Texts cross into Qt here: the core keeps Windows-1252 bytes.
#include <QString>
#include <string>

namespace kelvo {

QString to_qstring(const std::string& cp1252);
// Characters Windows-1252 cannot hold become "?".
std::string from_qstring(const QString& text);

}  // namespace kelvo
