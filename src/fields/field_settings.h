// The field slots, the half limits and the mirror trigger definitions that automatic
// field selection and the mirror trigger read.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lumetra {

// In the order the INI file is read and written.
enum class Slot {
    SFN,
    SFM,
    SFS,
    SFA,
    SFT,
    SFR,
    BFN,
    BFM,
    FFN,
    FFM,
    BFS,
    BFA,
    BFT,
    BFR,
    FFS,
    FFA,
    FFT,
    FFR,
    DFN
};
inline constexpr std::size_t kSlotCount = 19;
inline constexpr std::array<std::string_view, kSlotCount> kSlotNames = {
    "SFN", "SFM", "SFS", "SFA", "SFT", "SFR", "BFN", "BFM", "FFN", "FFM",
    "BFS", "BFA", "BFT", "BFR", "FFS", "FFA", "FFT", "FFR", "DFN"};

inline std::string_view slotName(Slot slot) {
    return kSlotNames[static_cast<std::size_t>(slot)];
}
// SFN, SFM and DFN have no enable flag.
inline bool hasEnableFlag(Slot slot) {
    return slot != Slot::SFN && slot != Slot::SFM && slot != Slot::DFN;
}

struct FieldSlot {
    std::string code;
    bool enabled = false;
};

enum class AutoSelSource { ProgramName = 1, Comment = 2, Barcode = 3 };
enum class MirrorMode { Mirror, NormAndMirror };

struct MirrorTrigger {
    bool fromLeft = false;
    std::int16_t position = 0;
    std::string text;
};

struct FieldSelectionSettings {
    std::array<FieldSlot, kSlotCount> fieldSlots;
    std::string halfLimitX;
    std::string halfLimitY;
    AutoSelSource source = AutoSelSource::Barcode;
    MirrorMode mirrorMode = MirrorMode::Mirror;
    MirrorMode programNameMode = MirrorMode::NormAndMirror;
    MirrorMode commentMode = MirrorMode::NormAndMirror;
    // (ProgramName, Mirror), (ProgramName, NormAndMirror), (Comment, Mirror), (Comment,
    // NormAndMirror)
    std::array<MirrorTrigger, 4> triggers;

    FieldSlot& slot(Slot s) { return fieldSlots[static_cast<std::size_t>(s)]; }
    const FieldSlot& slot(Slot s) const { return fieldSlots[static_cast<std::size_t>(s)]; }
    // The definition of a text source and mode; ProgramName and Comment only.
    MirrorTrigger& trigger(AutoSelSource source, MirrorMode mode);
};

// 13 for the program name, 26 for the comment.
int sourceWidth(AutoSelSource source);

// Whether the mirror trigger reads a text (the program name or the program comment)
// rather than waiting for a field-code barcode.
bool readsTextSource(AutoSelSource source);

// The text a source names: the program name or the comment; empty for the barcode.
std::string_view sourceText(AutoSelSource source, std::string_view programName,
                            std::string_view comment);

} // namespace lumetra
