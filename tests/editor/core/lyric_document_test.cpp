// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/lyric_document.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace melnix {
namespace {

struct Step {
    std::string what;
    int linesBefore;
    int linesAfter;
};

class LyricDocumentTest : public ::testing::Test, public LyricHistory {
protected:
    void SetUp() override {
        doc_.setHistory(this);
        doc_.addListener([this] { ++notified_; });
    }
    void record(const std::string& what, const LyricSheet& before, const LyricSheet& after) override {
        steps_.push_back({what, before.lineCount(), after.lineCount()});
    }
    void loaded() override { ++loads_; }
    void saved() override { ++saves_; }

    LyricDocument doc_;
    std::vector<Step> steps_;
    int notified_ = 0, loads_ = 0, saves_ = 0;
};

TEST_F(LyricDocumentTest, AChangeIsRecordedWithTheLyricBeforeAndAfter) {
    EXPECT_TRUE(doc_.change("添加", [](LyricSheet& s) { return s.appendLine("ab") > 0; }));
    ASSERT_EQ(steps_.size(), 1u);
    EXPECT_EQ(steps_[0].what, "添加");
    EXPECT_EQ(steps_[0].linesBefore, 0);
    EXPECT_EQ(steps_[0].linesAfter, 1);
    EXPECT_TRUE(doc_.modified());
    EXPECT_EQ(notified_, 1);
}

TEST_F(LyricDocumentTest, AStepThatChangedNothingLeavesNoTraceAndNoMark) {
    EXPECT_FALSE(doc_.change("修改", [](LyricSheet&) { return false; }));
    EXPECT_TRUE(steps_.empty());
    EXPECT_FALSE(doc_.modified());
    EXPECT_EQ(notified_, 0);
}

TEST_F(LyricDocumentTest, NestedStepsCountAsTheOutermostOne) {
    doc_.beginChange("导入");
    doc_.change("添加", [](LyricSheet& s) { return s.appendLine("ab") > 0; });
    doc_.change("添加", [](LyricSheet& s) { return s.appendLine("cd") > 0; });
    EXPECT_TRUE(steps_.empty());
    doc_.endChange(false);  // the inner steps changed it
    ASSERT_EQ(steps_.size(), 1u);
    EXPECT_EQ(steps_[0].what, "导入");
    EXPECT_EQ(steps_[0].linesBefore, 0);
    EXPECT_EQ(steps_[0].linesAfter, 2);
}

TEST_F(LyricDocumentTest, ALongStepMarksTheLyricModifiedBeforeItEnds) {
    doc_.beginChange("拖动");
    doc_.sheet().appendLine("ab");
    doc_.changedSoFar();
    EXPECT_TRUE(doc_.modified());
    EXPECT_TRUE(steps_.empty());
    doc_.endChange(false);
    EXPECT_EQ(steps_.size(), 1u);
}

TEST_F(LyricDocumentTest, LoadingAndSavingClearTheMark) {
    doc_.change("添加", [](LyricSheet& s) { return s.appendLine("ab") > 0; });
    doc_.saved();
    EXPECT_FALSE(doc_.modified());
    doc_.replacedUnsaved();
    EXPECT_TRUE(doc_.modified());
    doc_.loaded();
    EXPECT_FALSE(doc_.modified());
    EXPECT_EQ(notified_, 4);
    EXPECT_EQ(saves_, 1);
    EXPECT_EQ(loads_, 1);
}

TEST_F(LyricDocumentTest, ARestoredLyricIsNotRecordedAgain) {
    LyricSheet old;
    old.appendLine("ab");
    doc_.restore(old, false);
    EXPECT_EQ(doc_.sheet().lineCount(), 1);
    EXPECT_TRUE(doc_.modified());
    EXPECT_TRUE(steps_.empty());
    doc_.restore(LyricSheet{}, true);
    EXPECT_FALSE(doc_.modified());
}

}  // namespace
}  // namespace melnix
