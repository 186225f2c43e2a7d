#include "platform/qt/qt_text.h"

#include "common/code_page.h"

namespace lumetra {

QString toQString(std::string_view codePageBytes) {
    const std::string utf8 = codePageToUtf8(codePageBytes);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString fromAscii(std::string_view ascii) {
    return QString::fromLatin1(ascii.data(), static_cast<qsizetype>(ascii.size()));
}

std::string fromQString(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return utf8ToCodePage(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

} // namespace lumetra
