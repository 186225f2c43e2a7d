#include "labels/exclusion.h"
#include "platform/portable/portable_profile.h"
#include "support/fakes.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace lumetra {
namespace {

using namespace lumetra::testing;

struct ScriptedExclusionDialog : ExclusionDialog {
    std::optional<ExclusionBoxes> answer;
    ExclusionBoxes shown{};
    std::optional<ExclusionBoxes> run(const ExclusionBoxes& checked) override {
        shown = checked;
        return answer;
    }
};

TEST(Exclusion, DigitsAndCaptions) {
    EXPECT_EQ(exclusionDigits("10100000"), "13");
    EXPECT_EQ(exclusionDigits("01000001"), "28");
    EXPECT_EQ(exclusionDigits("101"), "13");
    EXPECT_EQ(exclusionDigits("111111111"), "12345678");
    EXPECT_EQ(exclusionCaption("10100000"), " Exclusion Number 13  for insertion.");
    EXPECT_EQ(ExclusionInsertion::boxesFor("101"),
              (ExclusionBoxes{true, false, true, false, false, false, false, false}));
    EXPECT_EQ(ExclusionInsertion::settingFor({true, false, true}), "10100000");
}

class ExclusionSetting : public ::testing::Test {
protected:
    ExclusionSetting()
        : profile(dir.str()), ini(profile, dir.file("ORX.INI")),
          insertion(config, ini, panel, dialog) {}
    TempDir dir;
    PortableProfile profile;
    IniFile ini;
    Configuration config;
    FakePanel panel;
    ScriptedExclusionDialog dialog;
    ExclusionInsertion insertion;
};

TEST_F(ExclusionSetting, OkStoresTheBoxesAndShowsThem) {
    config.exclusionSetting = "01";
    dialog.answer = ExclusionBoxes{true, false, true};
    insertion.showDialog();
    EXPECT_EQ(dialog.shown, ExclusionInsertion::boxesFor("01"));
    EXPECT_EQ(config.exclusionSetting, "10100000");
    EXPECT_EQ(ini.readString(kMainSection, "Exclusion", ""), "10100000");
    EXPECT_EQ(panel.exclusion, " Exclusion Number 13  for insertion.");
}

TEST_F(ExclusionSetting, NoBoxHidesTheLabel) {
    panel.exclusion = "old";
    dialog.answer = ExclusionBoxes{};
    insertion.showDialog();
    EXPECT_EQ(config.exclusionSetting, "00000000");
    EXPECT_FALSE(panel.exclusion.has_value());
}

TEST_F(ExclusionSetting, CancelChangesNothing) {
    config.exclusionSetting = "10000000";
    panel.exclusion = " Exclusion Number 1  for insertion.";
    insertion.showDialog();
    EXPECT_EQ(config.exclusionSetting, "10000000");
    EXPECT_FALSE(std::filesystem::exists(dir.file("ORX.INI")));
    EXPECT_EQ(panel.exclusion, " Exclusion Number 1  for insertion.");
}

} // namespace
} // namespace lumetra
