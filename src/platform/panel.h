// The main window's elements as the core reads and writes them.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace lumetra {

enum class Option { AClear, Overwrite, ShowEd, AutoStart };

class Panel {
public:
    virtual ~Panel() = default;

    virtual void setStatusText(std::string_view text) = 0; // lblStatusBar
    // The problem indicator beside the status line: a problem and, in its tooltip, the
    // earlier ones one per line; an empty text hides it.
    virtual void setProblem(std::string_view text, std::string_view history) = 0;
    // lblCurSettings, with `detail` (the device, why it is closed) in its tooltip.
    virtual void setPortCaption(std::string_view text, std::string_view detail) = 0;
    virtual void setScanDisplay(std::string_view text) = 0;               // ComDisplay
    virtual void setActivity(bool visible, std::string_view caption) = 0; // DSpin
    virtual void setEntryText(std::string_view text) = 0;                 // txtEtichetta
    virtual void setIndicatorVisible(int index, bool visible) = 0;        // LabID(0..4)
    virtual void setAutoFieldVisible(bool visible) = 0;                   // LabelAFS
    // How far a list file has loaded, beside the status line; a total of 0 hides it.
    virtual void setListProgress(std::size_t added, std::size_t total) = 0;
    // ExLab: shown with the caption, or hidden when there is none.
    virtual void setExclusionCaption(std::optional<std::string_view> caption) = 0;

    // A check box's value: 0 unticked, 1 ticked, 2 grayed (which counts as ticked).
    virtual int optionValue(Option option) const = 0;
    virtual void setOptionValue(Option option, int value) = 0;
    // The ".CNC" variant: ShowEd hidden, AutoStart moved to its place.
    virtual void useSuffixVariantLayout() = 0;

    virtual void setPollInterval(int milliseconds) = 0; // Timer1
    virtual void centre() = 0;
};

inline bool isTicked(const Panel& panel, Option option) {
    return panel.optionValue(option) != 0;
}

inline constexpr int kIndicatorCount = 5;

// Hides the five LabID indicators.
inline void hideIndicators(Panel& panel) {
    for (int i = 0; i < kIndicatorCount; ++i)
        panel.setIndicatorVisible(i, false);
}

} // namespace lumetra
