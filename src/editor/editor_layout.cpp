// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_layout.h"

#include <QCoreApplication>

#include "editor/editor_ids.h"
#include "editor/editor_text.h"

namespace melnix {
namespace {

// Rows of the window, top down (pixels at 96 dpi).
constexpr int kRowTransport = 290;  // the present button's row; the areas sit above it
constexpr int kRowEdit = 320;
constexpr int kRowLineBox = 350;
constexpr int kRowSpeed = 380;
constexpr int kRowStatus = 408;
constexpr int kRowHeight = 24;

std::vector<ControlSpec> build() {
    const char* const speedTips[9] = {
        QT_TRANSLATE_NOOP("EditorDialog", "最慢的播放速度(0.5x,不变调,最适合调整歌词时间)"),
        QT_TRANSLATE_NOOP("EditorDialog", "相当慢的播放速度(0.57x,变调)"),
        QT_TRANSLATE_NOOP("EditorDialog", "较慢的播放速度(0.67x,不变调)"),
        QT_TRANSLATE_NOOP("EditorDialog", "微慢的播放速度(0.8x,变调,女声变男声)"),
        QT_TRANSLATE_NOOP("EditorDialog", "正常的播放速度(1x,原调)"),
        QT_TRANSLATE_NOOP("EditorDialog", "微快的播放速度(1.25x,变调,男声变女声)"),
        QT_TRANSLATE_NOOP("EditorDialog", "较快的播放速度(1.33x,不变调)"),
        QT_TRANSLATE_NOOP("EditorDialog", "相当快的播放速度(1.54x,变调)"),
        QT_TRANSLATE_NOOP("EditorDialog", "最快的播放速度(2x,不变调)"),
    };
    using K = ControlKind;
    const int h = kRowHeight;
    std::vector<ControlSpec> c = {
        {idSeparator, K::Separator, {}, {}, QRect(0, 166, kEditorWidth, 2)},
        // Transport row.
        {idViewLeftFar, K::Button, "<<", EditorText::tr("波形区显示窗口向左移动4/5"), QRect(6, kRowTransport, 28, h)},
        {idViewLeft, K::Button, "<", EditorText::tr("波形区显示窗口向左移动1/3"), QRect(36, kRowTransport, 24, h)},
        {idPause, K::Button, EditorText::tr("暂停"), EditorText::tr("暂停播放 或 开始播放"), QRect(62, kRowTransport, 48, h)},
        {idViewRight, K::Button, ">", EditorText::tr("波形区显示窗口向右移动1/3"), QRect(112, kRowTransport, 24, h)},
        {idViewRightFar, K::Button, ">>", EditorText::tr("波形区显示窗口向右移动4/5"), QRect(138, kRowTransport, 28, h)},
        {idMute, K::IconButton, {}, EditorText::tr("设置静音 / 恢复声音"), QRect(172, kRowTransport, 26, h)},
        {idVocal, K::IconButton, {}, EditorText::tr("消除或恢复歌曲原唱"), QRect(200, kRowTransport, 26, h)},
        {idRuler, K::IconButton, {}, EditorText::tr("设置显示音量波形，还是显示时间标尺"), QRect(228, kRowTransport, 26, h)},
        {idDoubleScale, K::IconButton, {}, EditorText::tr("设置或取消双倍时间刻度显示，双倍显示时便于操作节奏快的歌词"),
         QRect(256, kRowTransport, 26, h)},
        {idPresent, K::Button, EditorText::tr("欣赏"),
         EditorText::tr("如果设置了背景图片或影像(在“打开音乐”中设置),则可以进行欣赏了"), QRect(290, kRowTransport, 52, h)},
        {idTracks, K::Button, EditorText::tr("音轨"), EditorText::tr("察看MIDI音轨信息，并可设置 只播放 主旋律 音轨，以便歌词同步"),
         QRect(346, kRowTransport, 52, h), true},
        {idSync, K::Button, EditorText::tr("同步"), EditorText::tr("演唱时，随着中文歌词的节奏单击该按钮，可快速歌词同步。(注意从句首开始)"),
         QRect(346, kRowTransport, 52, h)},
        {idHelp, K::Button, EditorText::tr("帮助"), EditorText::tr("功能介绍、使用方法与技巧"), QRect(402, kRowTransport, 48, h)},
        {idSave, K::Button, EditorText::tr("导出"), EditorText::tr("保存或导出当前的同步歌词，或存在歌曲尾部，或另存为新文件(.MLX)"),
         QRect(454, kRowTransport, 52, h)},
        {idExit, K::Button, EditorText::tr("退出"), EditorText::tr("终止本软件"), QRect(510, kRowTransport, 52, h)},
        {idVolume, K::Trackbar, {}, EditorText::tr("在有限范围内调整音量大小，如需更大的声音，请在Windows任务栏中点击喇叭"),
         QRect(600, kRowTransport, 30, 110)},
        // Edit row: the action buttons, or a confirm button and Cancel in their place.
        {idAdd, K::Button, EditorText::tr("添加"), EditorText::tr("准备插入一句歌词(在当前位置或当前句的后面)"), QRect(6, kRowEdit, 46, h)},
        {idModify, K::Button, EditorText::tr("修改"), EditorText::tr("准备修改当前的一句歌词"), QRect(54, kRowEdit, 46, h)},
        {idDelete, K::Button, EditorText::tr("删除"), EditorText::tr("准备删除一句歌词"), QRect(102, kRowEdit, 46, h)},
        {idSplit, K::Button, EditorText::tr("拆分"), EditorText::tr("准备将一句长歌词拆分成两句短歌词"), QRect(150, kRowEdit, 46, h)},
        {idMerge, K::Button, EditorText::tr("合并"), EditorText::tr("准备将当前的一句歌词与下一句歌词合并成一句长歌词"),
         QRect(198, kRowEdit, 46, h)},
        {idReference, K::Button, EditorText::tr("参考"), EditorText::tr("参考另一句歌词的时间同步信息，并将其引用到当前句歌词上"),
         QRect(246, kRowEdit, 46, h)},
        {idConfirmAdd, K::Button, EditorText::tr("确定添加的歌词:"), EditorText::tr("确定将下面添加的歌词插入到当前位置或当前句的后面,并返回演唱"),
         QRect(6, kRowEdit, 240, h), true},
        {idConfirmModify, K::Button, EditorText::tr("确定修改的歌词:"), EditorText::tr("确定下面修改的歌词有效,并返回演唱"),
         QRect(6, kRowEdit, 240, h), true},
        {idConfirmDelete, K::Button, EditorText::tr("确定删除歌词:"), EditorText::tr("确定删除下面的一句歌词,并返回演唱"),
         QRect(6, kRowEdit, 240, h), true},
        {idConfirmSplit, K::Button, EditorText::tr("拆分:先删后半行,再按此钮"),
         EditorText::tr("先在下面的组合框中删除后半行，留下拆分后的第一句，再点击此按钮确定拆分结果"), QRect(6, kRowEdit, 240, h), true},
        {idConfirmMerge, K::Button, EditorText::tr("确定合并两句为一句:"),
         EditorText::tr("下面框中光标前后本为两句,合并时自动插入一空格,若不需要,可删除,最后点击此按钮"), QRect(6, kRowEdit, 240, h), true},
        {idConfirmReference, K::Button, EditorText::tr("确定参考下列句子的时间:"),
         EditorText::tr("点击组合框中的下三角，选择合适的句子，引用其时间同步信息，最后点击此按钮确定"), QRect(6, kRowEdit, 240, h),
         true},
        {idCancel, K::Button, EditorText::tr("取消"), EditorText::tr("放弃下面的修改，恢复演唱"), QRect(250, kRowEdit, 46, h), true},
        {idOpenList, K::Button, EditorText::tr("打开列表"), EditorText::tr("打开磁盘上的歌曲文件"), QRect(300, kRowEdit, 72, h)},
        {idOpenFile, K::Button, EditorText::tr("文件"), {}, QRect(376, kRowEdit, 52, h)},
        {idImport, K::Button, EditorText::tr("导入歌词"),
         EditorText::tr("打开同步歌词(.MLX.LRC.KSC)，或者从剪贴板、文本文件中导入歌词"), QRect(432, kRowEdit, 96, h)},
        // The line box and the placement arrows.
        {idLineBox, K::LineBox, {}, EditorText::tr("点击下三角按钮可列表已录入的歌词"), QRect(6, kRowLineBox, 540, h)},
        {idPlacement, K::UpDown, {}, EditorText::tr("改变当前句歌词字幕的放置位置"), QRect(550, kRowLineBox, 20, h)},
        // Speeds and the position slider.
        {idSpeedLabel, K::Label, EditorText::tr("速度"), EditorText::tr("点击后面的园按钮可调整播放速度"), QRect(6, kRowSpeed, 42, 20)},
        {idSlider, K::Slider, {}, EditorText::tr("当前歌曲播放进度条，可用鼠标左键拖动滑块或直接点击位置来改变播放点"),
         QRect(222, kRowSpeed, 372, 20)},
        // The hint strip and the position, length and size.
        {idHints, K::HintCheck, defaultHintText(), {}, QRect(6, kRowStatus, 418, 22)},
        {idPosition, K::Static, "0:00.0", EditorText::tr("当前的播放位置(时间 分:秒)"), QRect(428, kRowStatus, 60, 22)},
        {idLength, K::Static, "0:00.0", EditorText::tr("歌曲总的时间长度(分:秒)"), QRect(492, kRowStatus, 60, 22)},
        {idSize, K::Static, "0K", EditorText::tr("歌曲文件的长度"), QRect(556, kRowStatus, 78, 22)},
    };
    for (int i = 0; i < 9; ++i)
        c.push_back({idFirstSpeed + i, K::Radio, {}, EditorText::tr(speedTips[i]), QRect(50 + 19 * i, kRowSpeed + 2, 17, 17)});
    return c;
}

}  // namespace

// Built afresh for every window: the captions follow the language in use.
std::vector<ControlSpec> editorControls() { return build(); }

QString defaultHintText() {
    return EditorText::tr("是否提示  这里是歌词录入与时间同步编辑界面。看播放效果，请点击“欣赏”按钮。");
}
QString subtitleAreaTip() {
    return EditorText::tr("字幕区: 演唱时,用鼠标左键同步划过整个语句可初步定其时,若该句需很久才唱,可压住右键等待 ");
}
QString waveformAreaTip() { return EditorText::tr("波形区: 左键 -- 拖动其内容, 并从相应位置开始播放 / 单击右键 -- 设置当前位置并暂停 "); }
QString adjustAreaTip() {
    return EditorText::tr("歌词调整区: 左键 -- 暂停, 或拖动文字到精确的时间点 / 右键 -- 用于MIDI的自动歌词同步(只播主旋律音轨时)");
}

}  // namespace melnix
