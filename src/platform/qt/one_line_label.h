// A label that shows any text on one line of its own width: long texts are cut and
// elided, control characters are shown as their pictures (or, where the font has none,
// as the log writes them: "\x1B"), and the text (to a bound) is in the tooltip. It never
// asks the window for more room than its text, and can be squeezed to nothing.
#pragma once

#include <QLabel>
#include <functional>
#include <string_view>

namespace lumetra {

class OneLineLabel final : public QLabel {
public:
    using QLabel::QLabel;

    // `codePageText` as the label's text; only its first kShownCharacters are laid out.
    void setOneLineText(std::string_view codePageText);
    // Called when the label is clicked.
    void setOnClick(std::function<void()> onClick) { m_onClick = std::move(onClick); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr std::size_t kShownCharacters = 512;
    static constexpr std::size_t kToolTipCharacters = 4096;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_onClick;
};

// The text shown for `codePageText`: control characters as their pictures when `drawable`
// says the font has each of them, else the whole text as the operator log writes it.
QString visibleText(std::string_view codePageText, const std::function<bool(char32_t)>& drawable);

} // namespace lumetra
