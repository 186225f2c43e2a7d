#include "fields/field_selector.h"
#include "support/fakes.h"

#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <sstream>

namespace lumetra {
namespace {

using testing::FakePanel;

// Every slot's code is its own name, so a pick shows which slot won.
FieldSelectionSettings namedSettings() {
    FieldSelectionSettings settings;
    for (std::size_t i = 0; i < kSlotCount; ++i)
        settings.fieldSlots[i].code = std::string(kSlotNames[i]);
    return settings;
}

class Selector : public ::testing::Test {
protected:
    Selector() : selector(settings, state, data, panel) {}
    void enable(std::initializer_list<Slot> slots) {
        for (Slot slot : slots)
            settings.slot(slot).enabled = true;
    }
    void enableAll() {
        for (std::size_t i = 0; i < kSlotCount; ++i)
            settings.fieldSlots[i].enabled = true;
    }
    FieldSelectionSettings settings = namedSettings();
    FieldSelectorState state;
    LabelData data;
    FakePanel panel;
    FieldSelector selector;
};

TEST_F(Selector, WithoutDimensionsEveryConditionHoldsInInches) {
    enableAll();
    settings.halfLimitX = "1";
    settings.halfLimitY = "1";
    EXPECT_EQ(selector.selectField(SelectionMode::AutoNormal, 0, 0), "FFS");
    EXPECT_EQ(selector.selectField(SelectionMode::AutoNormal, 0, 0), "FFT");
    EXPECT_EQ(selector.selectField(SelectionMode::AutoMirror, 0, 0), "FFA");
    EXPECT_EQ(selector.selectField(SelectionMode::AutoMirror, 0, 0), "FFR");
}

TEST_F(Selector, TheUnitFactorDependsOnTheSize) {
    enable({Slot::SFS});
    settings.halfLimitX = "1000"; // 39.37 inches
    settings.halfLimitY = "0";
    struct Case {
        float x;
        float y;
        std::string expected;
    };
    const Case cases[] = {
        {10, 60, "SFS"},        // millimetres: 10 < 1000
        {139.9f, 59.9f, "SFN"}, // inches: 139.9 > 39.37
        {39.0f, 10, "SFS"},     // inches: 39 < 39.37
        {140, 0, "SFS"},        // millimetres
        {1000, 100, "SFN"},     // equal to the limit does not fit
        {999.9f, 100, "SFS"},
    };
    for (const Case& c : cases) {
        state = {};
        EXPECT_EQ(selector.selectField(SelectionMode::AutoNormal, c.x, c.y), c.expected)
            << c.x << " x " << c.y;
    }
}

TEST_F(Selector, AlternatesBetweenTheHalves) {
    enable({Slot::SFS, Slot::SFT});
    settings.halfLimitX = "1500";
    settings.halfLimitY = "600";
    std::vector<std::string> picks;
    for (int i = 0; i < 5; ++i)
        picks.push_back(selector.selectField(SelectionMode::AutoNormal, 1000, 500));
    EXPECT_EQ(picks, (std::vector<std::string>{"SFS", "SFT", "SFS", "SFT", "SFS"}));
}

TEST_F(Selector, TwoAlternatePicksFromStartAreNormalLeftThenMirrorRight) {
    enableAll();
    settings.halfLimitX = "1500";
    settings.halfLimitY = "600";
    EXPECT_EQ(selector.selectField(SelectionMode::AutoAlternate, 1000, 500), "FFS");
    EXPECT_EQ(selector.selectField(SelectionMode::AutoAlternate, 1000, 500), "FFR");
}

TEST_F(Selector, TheCandidateOrderOfEachList) {
    settings.halfLimitX = "1500";
    settings.halfLimitY = "600";
    struct Case {
        std::vector<Slot> enabled;
        float x, y;
        bool rightFirst;
        SelectionMode mode;
        std::string expected;
    };
    const Case cases[] = {
        // Normal, right half first: SFS only after FFN and BFN.
        {{Slot::SFS, Slot::FFN}, 1000, 500, true, SelectionMode::AutoNormal, "FFN"},
        {{Slot::SFS, Slot::BFN}, 1000, 500, true, SelectionMode::AutoNormal, "BFN"},
        {{Slot::SFS}, 1000, 500, true, SelectionMode::AutoNormal, "SFS"},
        // Normal, left first: SFS before the right half.
        {{Slot::SFS, Slot::FFT}, 1000, 500, false, SelectionMode::AutoNormal, "SFS"},
        // Mirror, right first: SFA directly after BFA.
        {{Slot::SFA, Slot::FFM}, 1000, 500, true, SelectionMode::AutoMirror, "SFA"},
        // Quarter fields need both fits; Y-only fits reach the whole-length rows.
        {{Slot::FFS, Slot::FFN}, 2000, 500, false, SelectionMode::AutoNormal, "FFN"},
        {{Slot::FFS, Slot::SFS}, 1000, 700, false, SelectionMode::AutoNormal, "SFS"},
        {{Slot::FFA, Slot::BFM}, 2000, 500, false, SelectionMode::AutoMirror, "BFM"},
        {{}, 1000, 500, false, SelectionMode::AutoMirror, "SFM"},
    };
    for (const Case& c : cases) {
        for (auto& slot : settings.fieldSlots)
            slot.enabled = false;
        enable({});
        for (Slot slot : c.enabled)
            settings.slot(slot).enabled = true;
        state = {c.rightFirst, false, false};
        EXPECT_EQ(selector.selectField(c.mode, c.x, c.y), c.expected);
    }
}

TEST_F(Selector, AFieldBarcodeSeedsTheNextPick) {
    enableAll();
    settings.halfLimitX = "1500";
    settings.halfLimitY = "600";
    data.fieldCode = "A";
    selector.selectField(SelectionMode::SeedFromFieldBarcode, 0, 0);
    selector.selectField(SelectionMode::SeedFromLetter, 0, 0);
    EXPECT_EQ(data.fieldCode, "A") << "seeding leaves the code";
    EXPECT_EQ(selector.selectField(SelectionMode::AutoNormal, 1000, 500), "FFA")
        << "a mirror pick, left half first";
    EXPECT_EQ(selector.selectField(SelectionMode::AutoNormal, 1000, 500), "FFT")
        << "normal again, right half first";
}

TEST_F(Selector, SeedLettersSetTheState) {
    const std::tuple<std::string, bool, bool> cases[] = {
        {"S", false, false}, {"N1", false, false}, {"A/0", false, true},
        {"T", true, false},  {"R", true, true},    {"M", true, true},
    };
    for (const auto& [code, right, mirror] : cases) {
        state = {!right, !mirror, false};
        data.fieldCode = code;
        selector.selectField(SelectionMode::SeedFromLetter, 0, 0);
        EXPECT_EQ(state.rightHalfFirst, right) << code;
        EXPECT_EQ(state.nextMirror, mirror) << code;
        EXPECT_FALSE(state.applyNextMirror);
    }
    state = {true, true, false};
    data.fieldCode = "X";
    selector.selectField(SelectionMode::SeedFromLetter, 0, 0);
    EXPECT_TRUE(state.rightHalfFirst && state.nextMirror) << "other letters change nothing";
}

TEST_F(Selector, ResolveLineFieldActsOnTheFirstCharacter) {
    enableAll();
    settings.halfLimitX = "1500";
    settings.halfLimitY = "600";
    struct Case {
        std::string code;
        std::string expected;
        bool indicator;
    };
    const Case cases[] = {
        {"&", "FFS", true}, {"P", "FFS", true}, {"", "FFS", true},
        {"W", "FFA", true}, {"N", "N", false},  {"A1/", "A1/", false},
        {" ", " ", false},  {"X", "X", false},  {"%", "%", false},
    };
    for (const Case& c : cases) {
        state = {};
        panel.autoField = false;
        data.fieldCode = c.code;
        selector.resolveLineField(1000, 500);
        EXPECT_EQ(data.fieldCode, c.expected) << "«" << c.code << "»";
        EXPECT_EQ(panel.autoField, c.indicator) << "«" << c.code << "»";
    }
}

TEST_F(Selector, AnEnabledSlotWithoutCodeYieldsAnEmptyCode) {
    enable({Slot::FFS});
    settings.slot(Slot::FFS).code.clear();
    settings.halfLimitX = "1500";
    settings.halfLimitY = "600";
    EXPECT_EQ(selector.selectField(SelectionMode::AutoNormal, 1000, 500), "");
}

TEST_F(Selector, AlternationHoldsOverAnInterleavedSequence) {
    enableAll();
    settings.halfLimitX = "1500";
    settings.halfLimitY = "600";
    std::mt19937 random(20261208);
    const std::string letters = "NSATRMX";
    for (int i = 0; i < 2000; ++i) {
        const FieldSelectorState before = state;
        const int choice = static_cast<int>(random() % 5);
        if (choice == 0) {
            data.fieldCode = std::string(1, letters[random() % letters.size()]);
            selector.selectField(random() % 2 ? SelectionMode::SeedFromLetter
                                              : SelectionMode::SeedFromFieldBarcode,
                                 0, 0);
            continue;
        }
        const SelectionMode mode = choice == 1   ? SelectionMode::AutoNormal
                                   : choice == 2 ? SelectionMode::AutoMirror
                                                 : SelectionMode::AutoAlternate;
        const std::string code = selector.selectField(mode, 1000, 500);
        const bool mirrored = code[2] == 'A' || code[2] == 'R' || code[2] == 'M';
        const bool expectMirror = (mode == SelectionMode::AutoAlternate || before.applyNextMirror)
                                      ? before.nextMirror
                                      : mode == SelectionMode::AutoMirror;
        ASSERT_EQ(mirrored, expectMirror) << "pick " << i;
        const bool rightHalf = code[2] == 'T' || code[2] == 'R';
        ASSERT_EQ(rightHalf, before.rightHalfFirst) << "pick " << i;
        ASSERT_EQ(state.rightHalfFirst, !before.rightHalfFirst);
        ASSERT_EQ(state.nextMirror, !mirrored);
        ASSERT_FALSE(state.applyNextMirror);
    }
}

} // namespace
} // namespace lumetra

namespace lumetra {
namespace {

// An independent model of one pick: the unit factor, the limits rounded once, the fits
// and the first enabled candidate of the list (the last one always).
std::string modelPick(const FieldSelectionSettings& settings, bool mirror, bool rightFirst, float x,
                      float y, double halfX, double halfY) {
    static const char* kLists[4] = {"FFS:XY BFS:XY SFS:X FFT:XY BFT:XY SFT:X FFN:Y BFN:Y SFN:-",
                                    "FFT:XY BFT:XY SFT:X FFS:XY BFS:XY FFN:Y BFN:Y SFS:X SFN:-",
                                    "FFA:XY BFA:XY SFA:X FFR:XY BFR:XY SFR:X FFM:Y BFM:Y SFM:-",
                                    "FFR:XY BFR:XY SFR:X FFA:XY BFA:XY SFA:X FFM:Y BFM:Y SFM:-"};
    const double factor = (y >= 60.0f || x >= 140.0f) ? 1.0 : static_cast<double>(0.03937f);
    const bool fitX = static_cast<float>(halfX * factor) > x;
    const bool fitY = static_cast<float>(halfY * factor) > y;
    std::istringstream list(kLists[(mirror ? 2 : 0) + (rightFirst ? 1 : 0)]);
    std::string entry;
    while (list >> entry) {
        const std::string name = entry.substr(0, 3);
        const std::string fit = entry.substr(4);
        const bool fits = fit == "XY" ? fitX && fitY : fit == "X" ? fitX : fit == "Y" ? fitY : true;
        std::size_t index = 0;
        while (kSlotNames[index] != name)
            ++index;
        if (fit == "-" || (settings.fieldSlots[index].enabled && fits))
            return name;
    }
    return {};
}

TEST(SelectorModel, ASeededRunAgreesWithTheRulesAtAndAroundTheLimits) {
    std::mt19937 random(8122026);
    FieldSelectionSettings settings = namedSettings();
    FieldSelectorState state;
    LabelData data;
    FakePanel panel;
    FieldSelector selector(settings, state, data, panel);
    for (int i = 0; i < 20000; ++i) {
        if (i % 50 == 0)
            for (auto& slot : settings.fieldSlots)
                slot.enabled = random() % 3 != 0;
        // Half limits with decimals that single precision cannot hold exactly.
        const double halfX = static_cast<double>(random() % 3000000) / 1000.0 + 0.3;
        const double halfY = static_cast<double>(random() % 1500000) / 1000.0 + 0.3;
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", halfX);
        settings.halfLimitX = text;
        std::snprintf(text, sizeof text, "%.3f", halfY);
        settings.halfLimitY = text;
        const bool inches = random() % 2 == 0;
        const double factor = inches ? static_cast<double>(0.03937f) : 1.0;
        // A piece at the limit, one step either side of it, or anywhere.
        auto near = [&](double half, float other) {
            const float limit = static_cast<float>(half * factor);
            switch (random() % 4) {
            case 0:
                return limit;
            case 1:
                return std::nextafter(limit, 0.0f);
            case 2:
                return std::nextafter(limit, 1e30f);
            default:
                return static_cast<float>(random() % 4000) * (inches ? 0.01f : 1.0f) + other;
            }
        };
        float x = near(std::strtod(settings.halfLimitX.c_str(), nullptr), 0.0f);
        float y = near(std::strtod(settings.halfLimitY.c_str(), nullptr), 0.0f);
        if (inches) { // keep the piece in inches
            x = std::min(x, 139.0f);
            y = std::min(y, 59.0f);
        } else {
            y = std::max(y, 60.0f);
        }
        const bool mirror = random() % 2 == 0;
        const bool rightFirst = state.rightHalfFirst;
        const std::string expected = modelPick(settings, mirror, rightFirst, x, y,
                                               std::strtod(settings.halfLimitX.c_str(), nullptr),
                                               std::strtod(settings.halfLimitY.c_str(), nullptr));
        ASSERT_EQ(selector.selectField(
                      mirror ? SelectionMode::AutoMirror : SelectionMode::AutoNormal, x, y),
                  expected)
            << "pick " << i << " x " << x << " y " << y << " limits " << settings.halfLimitX << " "
            << settings.halfLimitY;
    }
}

TEST(SelectorModel, TheHalfLimitIsRoundedOnce) {
    FieldSelectionSettings settings = namedSettings();
    settings.slot(Slot::FFS).enabled = true;
    settings.halfLimitX = "1500.3";
    settings.halfLimitY = "600.3";
    FieldSelectorState state;
    LabelData data;
    FakePanel panel;
    FieldSelector selector(settings, state, data, panel);
    const float onceX = static_cast<float>(1500.3 * static_cast<double>(0.03937f));
    const float onceY = static_cast<float>(600.3 * static_cast<double>(0.03937f));
    const float twiceY = static_cast<float>(600.3f) * 0.03937f;
    ASSERT_NE(onceY, twiceY) << "the case must tell the two roundings apart";
    // A piece at the lower of the two: only the limit rounded once tells where it goes.
    const float y = std::min(onceY, twiceY);
    EXPECT_EQ(selector.selectField(SelectionMode::AutoNormal, std::nextafter(onceX, 0.0f), y),
              onceY > y ? "FFS" : "SFN");
}

TEST(SelectorModel, OnlyAnEmptyCodeIsEmpty) {
    FieldSelectionSettings settings = namedSettings();
    FieldSelectorState state;
    LabelData data;
    FakePanel panel;
    FieldSelector selector(settings, state, data, panel);
    data.fieldCode = std::string("\0N", 2);
    selector.resolveLineField(100, 100);
    EXPECT_EQ(data.fieldCode, std::string("\0N", 2));
    EXPECT_FALSE(panel.autoField);
    data.fieldCode.clear();
    selector.resolveLineField(100, 100);
    EXPECT_EQ(data.fieldCode, "SFN");
}

} // namespace
} // namespace lumetra
