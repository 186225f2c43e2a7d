// The one crossing between code-page bytes and QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace lumetra {

QString toQString(std::string_view codePageBytes);
// An ASCII text of the program's own (a caption, an object name).
QString fromAscii(std::string_view ascii);
std::string fromQString(const QString& text);

} // namespace lumetra
