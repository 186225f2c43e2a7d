#include "fields/field_settings_store.h"

#include "common/text.h"

#include <algorithm>
#include <cmath>

namespace lumetra {

namespace {

struct TriggerKeys {
    AutoSelSource source;
    MirrorMode mode;
    std::string_view prefix;
};

constexpr std::array<TriggerKeys, 4> kTriggerKeys = {{
    {AutoSelSource::ProgramName, MirrorMode::Mirror, "PNameMirror"},
    {AutoSelSource::ProgramName, MirrorMode::NormAndMirror, "PNameNandM"},
    {AutoSelSource::Comment, MirrorMode::Mirror, "CommentMirror"},
    {AutoSelSource::Comment, MirrorMode::NormAndMirror, "CommentNandM"},
}};

std::string key(std::string_view prefix, std::string_view name) {
    return std::string(prefix) + std::string(name);
}

} // namespace

std::int16_t settingNumber(std::string_view text) {
    const double value = std::nearbyint(leadingNumber(text)); // the default rounding is to even
    return static_cast<std::int16_t>(std::clamp(value, -32768.0, 32767.0));
}

void loadFieldSelectionSettings(const IniFile& ini, FieldSelectionSettings& settings,
                                TriggerDisplay& display) {
    auto text = [&](std::string_view name) { return ini.readIniText(kMainSection, name); };
    auto number = [&](std::string_view name) { return settingNumber(text(name)); };

    for (std::size_t i = 0; i < kSlotCount; ++i) {
        settings.fieldSlots[i].code = text(key("FieldCode_", kSlotNames[i]));
        settings.fieldSlots[i].enabled = number(key("FieldFlag_", kSlotNames[i])) == 1;
    }
    settings.halfLimitX = text("HalfLimitX");
    settings.halfLimitY = text("HalfLimitY");
    settings.programNameMode =
        number("PNameMSel") != 0 ? MirrorMode::Mirror : MirrorMode::NormAndMirror;
    settings.commentMode =
        number("CommentMSel") != 0 ? MirrorMode::Mirror : MirrorMode::NormAndMirror;
    switch (number("AutoSelSetting")) {
    case 1:
        settings.source = AutoSelSource::ProgramName;
        settings.mirrorMode = settings.programNameMode;
        break;
    case 2:
        settings.source = AutoSelSource::Comment;
        settings.mirrorMode = settings.commentMode;
        break;
    default:
        settings.source = AutoSelSource::Barcode;
        settings.mirrorMode = MirrorMode::Mirror;
        break;
    }
    for (const TriggerKeys& keys : kTriggerKeys) {
        MirrorTrigger& trigger = settings.trigger(keys.source, keys.mode);
        trigger.fromLeft = number(key(keys.prefix, "LR")) == -1;
        trigger.position = number(key(keys.prefix, "CPos"));
        trigger.text = text(key(keys.prefix, "Text"));
    }
    setAutoSel(settings, display);
}

std::string profileText(std::string_view text) {
    const bool blankEnds = !text.empty() && (text.front() == ' ' || text.back() == ' ');
    const bool quoteEnds = text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
                           text.back() == text.front();
    // A read drops the blanks around a value and one pair of enclosing quotes.
    return blankEnds || quoteEnds ? "\"" + std::string(text) + "\"" : std::string(text);
}

void saveFieldSelectionSettings(const IniFile& ini, FieldSelectionSettings& settings,
                                const TriggerDisplay& display) {
    auto write = [&](std::string_view name, std::string_view value) {
        ini.write(kMainSection, name, value);
    };
    for (std::size_t i = 0; i < kSlotCount; ++i) {
        const auto slot = static_cast<Slot>(i);
        write(key("FieldCode_", kSlotNames[i]), toUpper(settings.fieldSlots[i].code));
        write(key("FieldFlag_", kSlotNames[i]),
              !hasEnableFlag(slot) || settings.fieldSlots[i].enabled ? " 1" : " 0");
    }
    write("HalfLimitX", settings.halfLimitX);
    write("HalfLimitY", settings.halfLimitY);
    getAutoSel(settings, display);
    write("AutoSelSetting", std::to_string(static_cast<int>(settings.source)));
    for (const TriggerKeys& keys : kTriggerKeys) {
        const MirrorTrigger& trigger = settings.trigger(keys.source, keys.mode);
        write(key(keys.prefix, "LR"), trigger.fromLeft ? "-1" : "0");
        write(key(keys.prefix, "CPos"), std::to_string(trigger.position));
        write(key(keys.prefix, "Text"), profileText(trigger.text));
    }
    write("PNameMSel", settings.programNameMode == MirrorMode::Mirror ? "1" : "0");
    write("CommentMSel", settings.commentMode == MirrorMode::Mirror ? "1" : "0");
}

} // namespace lumetra
