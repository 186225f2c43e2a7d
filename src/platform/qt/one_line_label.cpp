#include "platform/qt/one_line_label.h"

#include "common/log_text.h"
#include "platform/qt/qt_text.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>

namespace lumetra {

namespace {

// The picture Unicode has for a control character (␍ ␊ ␀ ...), or 0 for any other.
char32_t controlPicture(char16_t c) {
    if (c < 0x20)
        return 0x2400 + c;
    return c == 0x7F ? 0x2421 : 0;
}

QString bounded(std::string_view text, std::size_t limit) {
    QString shown = toQString(text.substr(0, limit));
    if (text.size() > limit)
        shown += QStringLiteral("\u2026 (%1 bytes)").arg(text.size());
    return shown;
}

} // namespace

QString visibleText(std::string_view codePageText, const std::function<bool(char32_t)>& drawable) {
    QString text = bounded(codePageText, OneLineLabel::kShownCharacters);
    for (QChar& c : text) {
        const char32_t picture = controlPicture(c.unicode());
        if (picture == 0)
            continue;
        if (!drawable(picture)) {
            const std::string_view shown = codePageText.substr(0, OneLineLabel::kShownCharacters);
            QString escaped = QString::fromStdString(escapedLogText(shown));
            if (codePageText.size() > shown.size())
                escaped += QStringLiteral("\u2026 (%1 bytes)").arg(codePageText.size());
            return escaped;
        }
        c = QChar(static_cast<char16_t>(picture));
    }
    return text;
}

void OneLineLabel::setOneLineText(std::string_view codePageText) {
    const QFontMetrics metrics = fontMetrics();
    setText(visibleText(codePageText, [&](char32_t c) { return metrics.inFontUcs4(c); }));
    setToolTip(codePageText.size() > kShownCharacters || text().size() > 40
                   ? bounded(codePageText, kToolTipCharacters)
                   : QString());
}

// As wide as its text up to a bound: a caption shows whole where there is room, and a
// long scan never asks the window for more.
QSize OneLineLabel::sizeHint() const {
    constexpr int kWidestHint = 48; // average characters
    const int margins = contentsMargins().left() + contentsMargins().right() + 2 * frameWidth();
    const int width = std::min(fontMetrics().horizontalAdvance(text()),
                               fontMetrics().averageCharWidth() * kWidestHint);
    return {width + margins, QLabel::minimumSizeHint().height()};
}

QSize OneLineLabel::minimumSizeHint() const {
    return {0, fontMetrics().height()};
}

void OneLineLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    drawFrame(&painter); // the frame, if the label has one
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}

void OneLineLabel::mousePressEvent(QMouseEvent* event) {
    if (m_onClick && event->button() == Qt::LeftButton) {
        m_onClick();
        return;
    }
    QLabel::mousePressEvent(event);
}

} // namespace lumetra
