#include "platform/qt/one_line_label.h"

#include "platform/qt/qt_text.h"

#include <QPainter>
#include <QStyle>

namespace lumetra {

namespace {

// Control characters as the pictures Unicode has for them (␍ ␊ ␀ ...).
QString visibleControls(QString text) {
    for (QChar& c : text) {
        if (c.unicode() < 0x20)
            c = QChar(0x2400 + c.unicode());
        else if (c.unicode() == 0x7F)
            c = QChar(0x2421);
    }
    return text;
}

QString bounded(std::string_view text, std::size_t limit) {
    QString shown = toQString(text.substr(0, limit));
    if (text.size() > limit)
        shown += QStringLiteral("\u2026 (%1 bytes)").arg(text.size());
    return shown;
}

} // namespace

void OneLineLabel::setOneLineText(std::string_view codePageText) {
    setText(visibleControls(bounded(codePageText, kShownCharacters)));
    setToolTip(codePageText.size() > kShownCharacters || text().size() > 40
                   ? bounded(codePageText, kToolTipCharacters)
                   : QString());
}

QSize OneLineLabel::sizeHint() const {
    return {fontMetrics().averageCharWidth() * 20, QLabel::minimumSizeHint().height()};
}

QSize OneLineLabel::minimumSizeHint() const {
    return {0, fontMetrics().height()};
}

void OneLineLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, area.width());
    style()->drawItemText(&painter, area, static_cast<int>(alignment()), palette(), isEnabled(),
                          shown, foregroundRole());
}

} // namespace lumetra
