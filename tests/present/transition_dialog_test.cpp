// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/transition_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

#include <gtest/gtest.h>

namespace melnix {
namespace {

class TransitionDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        table_.fill(0);
        table_[3] = 1;
        table_[29] = 1;
        table_[40] = 2;  // any non-zero byte counts as ticked
    }
    TransitionDialog& dialog() {
        if (!dialog_) dialog_ = std::make_unique<TransitionDialog>(table_);
        return *dialog_;
    }
    void click(const QString& name) {
        auto* b = dialog().findChild<QPushButton*>(name);
        ASSERT_NE(b, nullptr) << name.toStdString();
        b->click();
    }
    std::vector<int> tickedBoxes() {
        std::vector<int> out;
        for (int e = 0; e < kTransitionEffects; ++e)
            if (dialog().effectBox(e)->isChecked()) out.push_back(e);
        return out;
    }

    EffectTable table_{};
    std::unique_ptr<TransitionDialog> dialog_;
};

TEST_F(TransitionDialogTest, BoxesStartFromTheTable) {
    EXPECT_EQ(dialog().windowTitle(), QString("请选择图片切换模式"));
    EXPECT_EQ(tickedBoxes(), (std::vector<int>{3, 29, 40}));
}

TEST_F(TransitionDialogTest, SelectAllLeavesTheDirectSwitchOut) {
    table_[0] = 1;
    click("selectAll");
    std::vector<int> all;
    for (int e = 1; e < kTransitionEffects; ++e) all.push_back(e);
    EXPECT_EQ(tickedBoxes(), all);
    click("control1");
    EXPECT_EQ(table_[0], 0);
    EXPECT_EQ(effectSelectedCount(table_), 40);
    EXPECT_EQ(dialog().result(), QDialog::Accepted);
}

TEST_F(TransitionDialogTest, OkWithNothingTickedKeepsTheDirectSwitch) {
    click("selectNone");
    EXPECT_TRUE(tickedBoxes().empty());
    click("control1");
    EffectTable expected{};
    expected[0] = 1;
    EXPECT_EQ(table_, expected);
    EXPECT_EQ(effectSelectedCount(table_), 1);
    EXPECT_EQ(chooseEffect(table_, 77), 0);
}

TEST_F(TransitionDialogTest, OkStoresTheBoxesAsOnesAndZeros) {
    dialog().effectBox(3)->setChecked(false);
    dialog().effectBox(33)->setChecked(true);
    click("control1");
    EffectTable expected{};
    expected[29] = expected[33] = expected[40] = 1;
    EXPECT_EQ(table_, expected);
}

TEST_F(TransitionDialogTest, CancelChangesNothing) {
    const EffectTable before = table_;
    click("selectAll");
    click("control2");
    EXPECT_EQ(table_, before);
    EXPECT_EQ(dialog().result(), QDialog::Rejected);
}

TEST_F(TransitionDialogTest, EffectsSitInTheirGroupsUnderTheirLabels) {
    struct Case {
        int effect, control;
        const char* label;
        const char* group;  // nullptr: outside every group
    };
    for (const Case& c : {Case{0, 1116, "直接切换", nullptr}, Case{4, 1121, "向左", "向某个方向覆盖 "},
                          Case{21, 1142, "右下", "向某个方向覆盖 "}, Case{11, 1129, "右下", "从某个方向飞来"},
                          Case{16, 1135, "向左右", "从中间逐渐向外扩"}, Case{18, 1138, "从圆周", "从外向中间收缩 "},
                          Case{26, 1148, "纵格向左", "百叶窗动作 "}, Case{33, 1164, "心形1", "其他方式 "},
                          Case{39, 1158, "时钟1", "其他方式 "}}) {
        QCheckBox* box = dialog().findChild<QCheckBox*>(QString("control%1").arg(c.control));
        ASSERT_EQ(box, dialog().effectBox(c.effect)) << c.effect;
        EXPECT_EQ(box->text(), QString(c.label)) << c.effect;
        auto* group = qobject_cast<QGroupBox*>(box->parentWidget());
        if (c.group) {
            ASSERT_NE(group, nullptr) << c.effect;
            EXPECT_EQ(group->title(), QString(c.group)) << c.effect;
        } else {
            EXPECT_EQ(group, nullptr) << c.effect;
        }
    }
}

}  // namespace
}  // namespace melnix
