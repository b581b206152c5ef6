// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/transition_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "songlist/state_file.h"

namespace melnix {

static_assert(kTransitionEffects == kEffectCount, "the dialog edits the table of the state file");

namespace {

constexpr std::array<const char*, kTransitionEffects> kEffectLabels = {
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "直接切换"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向下"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向右"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向上"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向左"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "左面"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "右面"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "上面"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "下面"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "左上"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "右上"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "右下"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "左下"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向四周1"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向四周2"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向上下"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向左右"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "从四周"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "从圆周"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "从上下"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "从左右"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "右下"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "下左"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "左上"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "上右"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "纵格向右"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "纵格向左"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "横格向下"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "横格向上"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "闪电1"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "闪电2"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "飞行"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "轨迹"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "心形1"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "心形2"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "圆形1"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "圆形2"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "菱形1"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "菱形2"), QT_TRANSLATE_NOOP("melnix::TransitionDialog", "时钟1"),
    QT_TRANSLATE_NOOP("melnix::TransitionDialog", "时钟2"),
};

struct EffectGroup {
    const char* caption;
    std::vector<int> effects;
};

// The groups in the order of their boxes' control ids; the captions keep
// their trailing spaces.
const std::array<EffectGroup, 6> kGroups = {{
    {QT_TRANSLATE_NOOP("melnix::TransitionDialog", "向某个方向覆盖 "), {1, 2, 3, 4, 21, 22, 23, 24}},
    {QT_TRANSLATE_NOOP("melnix::TransitionDialog", "从某个方向飞来"), {5, 6, 7, 8, 9, 10, 11, 12}},
    {QT_TRANSLATE_NOOP("melnix::TransitionDialog", "从中间逐渐向外扩"), {13, 14, 15, 16}},
    {QT_TRANSLATE_NOOP("melnix::TransitionDialog", "从外向中间收缩 "), {17, 18, 19, 20}},
    {QT_TRANSLATE_NOOP("melnix::TransitionDialog", "百叶窗动作 "), {25, 26, 27, 28}},
    {QT_TRANSLATE_NOOP("melnix::TransitionDialog", "其他方式 "), {29, 30, 31, 32, 39, 40, 35, 36, 37, 38, 33, 34}},
}};


constexpr int kBoxesPerRow = 4;

}  // namespace

TransitionDialog::TransitionDialog(EffectTable& selection, QWidget* parent) : QDialog(parent), selection_(selection) {
    setObjectName(QString("dialog%1").arg(kTransitionDialogTemplate));
    setWindowTitle(tr("请选择图片切换模式"));
    for (int effect = 0; effect < kTransitionEffects; ++effect) {
        auto* box = new QCheckBox(tr(kEffectLabels[effect]), this);
        box->setObjectName(QString("control%1").arg(kTransitionEffectControls[effect]));
        box->setChecked(selection[effect] != 0);
        boxes_[effect] = box;
    }

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(boxes_[kDirectSwitch]);
    auto* groups = new QGridLayout;
    for (size_t g = 0; g < kGroups.size(); ++g) {
        auto* group = new QGroupBox(tr(kGroups[g].caption), this);
        auto* grid = new QGridLayout(group);
        grid->setAlignment(Qt::AlignTop);
        const std::vector<int>& effects = kGroups[g].effects;
        for (size_t i = 0; i < effects.size(); ++i)
            grid->addWidget(boxes_[effects[i]], static_cast<int>(i) / kBoxesPerRow, static_cast<int>(i) % kBoxesPerRow);
        groups->addWidget(group, static_cast<int>(g) / 2, static_cast<int>(g) % 2);
    }
    layout->addLayout(groups);

    auto* buttons = new QHBoxLayout;
    auto button = [&](const QString& text, const QString& name) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        buttons->addWidget(b);
        return b;
    };
    QPushButton* all = button(tr("全选"), "selectAll");
    QPushButton* none = button(tr("全不选"), "selectNone");
    buttons->addStretch();
    QPushButton* ok = button(tr("确定"), QString("control%1").arg(kTransitionControlOk));
    QPushButton* cancel = button(tr("取消"), QString("control%1").arg(kTransitionControlCancel));
    ok->setDefault(true);
    layout->addLayout(buttons);

    connect(all, &QPushButton::clicked, this, [this] {
        for (int effect = 0; effect < kTransitionEffects; ++effect) boxes_[effect]->setChecked(effect != kDirectSwitch);
    });
    connect(none, &QPushButton::clicked, this, [this] {
        for (QCheckBox* box : boxes_) box->setChecked(false);
    });
    connect(ok, &QPushButton::clicked, this, &TransitionDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &TransitionDialog::reject);
}

void TransitionDialog::accept() {
    for (int effect = 0; effect < kTransitionEffects; ++effect) selection_[effect] = boxes_[effect]->isChecked() ? 1 : 0;
    // With nothing ticked the slideshow still changes pictures, directly.
    if (std::all_of(selection_.begin(), selection_.end(), [](uint8_t b) { return b == 0; }))
        selection_[kDirectSwitch] = 1;
    QDialog::accept();
}

}  // namespace melnix
