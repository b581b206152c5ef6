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

#define TR_EFFECT(text) QT_TRANSLATE_NOOP("melnix::TransitionDialog", text)

constexpr std::array<const char*, kTransitionEffects> kEffectLabels = {
    TR_EFFECT("直接切换"),
    TR_EFFECT("向下"), TR_EFFECT("向右"), TR_EFFECT("向上"), TR_EFFECT("向左"),
    TR_EFFECT("左面"), TR_EFFECT("右面"), TR_EFFECT("上面"), TR_EFFECT("下面"),
    TR_EFFECT("左上"), TR_EFFECT("右上"), TR_EFFECT("右下"), TR_EFFECT("左下"),
    TR_EFFECT("向四周1"), TR_EFFECT("向四周2"), TR_EFFECT("向上下"), TR_EFFECT("向左右"),
    TR_EFFECT("从四周"), TR_EFFECT("从圆周"), TR_EFFECT("从上下"), TR_EFFECT("从左右"),
    TR_EFFECT("右下"), TR_EFFECT("下左"), TR_EFFECT("左上"), TR_EFFECT("上右"),
    TR_EFFECT("纵格向右"), TR_EFFECT("纵格向左"), TR_EFFECT("横格向下"), TR_EFFECT("横格向上"),
    TR_EFFECT("闪电1"), TR_EFFECT("闪电2"), TR_EFFECT("飞行"), TR_EFFECT("轨迹"),
    TR_EFFECT("心形1"), TR_EFFECT("心形2"), TR_EFFECT("圆形1"), TR_EFFECT("圆形2"),
    TR_EFFECT("菱形1"), TR_EFFECT("菱形2"), TR_EFFECT("时钟1"), TR_EFFECT("时钟2"),
};

struct EffectGroup {
    const char* caption;
    std::vector<int> effects;
};

// The groups in the order of their boxes' control ids; the captions keep
// their trailing spaces.
const std::array<EffectGroup, 6> kGroups = {{
    {TR_EFFECT("向某个方向覆盖 "), {1, 2, 3, 4, 21, 22, 23, 24}},
    {TR_EFFECT("从某个方向飞来"), {5, 6, 7, 8, 9, 10, 11, 12}},
    {TR_EFFECT("从中间逐渐向外扩"), {13, 14, 15, 16}},
    {TR_EFFECT("从外向中间收缩 "), {17, 18, 19, 20}},
    {TR_EFFECT("百叶窗动作 "), {25, 26, 27, 28}},
    {TR_EFFECT("其他方式 "), {29, 30, 31, 32, 39, 40, 35, 36, 37, 38, 33, 34}},
}};

#undef TR_EFFECT

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
