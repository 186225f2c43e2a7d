// A label that shows any text on one line of its own width: long texts are cut and
// elided, control characters are shown as their pictures, and the text (to a bound) is
// in the tooltip. It never asks the window for more room, however long the text.
#pragma once

#include <QLabel>
#include <string_view>

namespace lumetra {

class OneLineLabel final : public QLabel {
public:
    using QLabel::QLabel;

    // `codePageText` as the label's text; only its first kShownCharacters are laid out.
    void setOneLineText(std::string_view codePageText);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    static constexpr std::size_t kShownCharacters = 512;
    static constexpr std::size_t kToolTipCharacters = 4096;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lumetra
