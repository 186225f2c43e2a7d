#include "labels/exclusion_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <gtest/gtest.h>

namespace lumetra {
namespace {

TEST(ExclusionInsertionDialog, ShowsTheSettingAndReturnsTheBoxes) {
    ExclusionInsertionDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Exclusion Insertion"));
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("Label1"))->text(),
              QStringLiteral("Automatic insertion of an Exclusion number in the List Manager upon "
                             "scan of barcode.  Select desired Exclusion number to insert."));
    EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("BtnOK")), nullptr);
    EXPECT_NE(dialog.findChild<QPushButton*>(QStringLiteral("BtnCan")), nullptr);
    dialog.load(ExclusionInsertion::boxesFor("01000001"));
    for (int i = 1; i <= 8; ++i) {
        auto* box = dialog.findChild<QCheckBox*>(QStringLiteral("ExCk%1").arg(i));
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text(), QString::number(i));
        EXPECT_EQ(box->isChecked(), i == 2 || i == 8) << i;
    }
    dialog.findChild<QCheckBox*>(QStringLiteral("ExCk1"))->click();
    auto* grayed = dialog.findChild<QCheckBox*>(QStringLiteral("ExCk3"));
    grayed->setTristate(true);
    grayed->setCheckState(Qt::PartiallyChecked);
    EXPECT_EQ(ExclusionInsertion::settingFor(dialog.boxes()), "11100001");
}

} // namespace
} // namespace lumetra
