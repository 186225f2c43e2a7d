// The one crossing between code-page bytes and QString.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace lumetra {

QString toQString(std::string_view codePageBytes);
std::string fromQString(const QString& text);

} // namespace lumetra
