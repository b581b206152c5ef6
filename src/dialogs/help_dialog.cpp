// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/help_dialog.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/hyper_link.h"
#include "common/paths.h"

namespace melnix {

HelpDialog::HelpDialog(QWidget* parent, std::function<void()> about) : QDialog(parent), about_(std::move(about)) {
    setObjectName("HelpDialog");
    setWindowTitle(tr("帮助信息对话框"));
    setWindowFlags(Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(620, 460);

    auto* text = new QPlainTextEdit(this);
    text->setObjectName("control1115");
    text->setReadOnly(true);
    text->setPlainText(helpText());

    auto* aboutButton = new QPushButton(tr("关于本软件..."), this);
    aboutButton->setObjectName("control1032");
    aboutButton->setAutoDefault(false);
    auto* close = new QPushButton(tr("关 闭"), this);
    close->setObjectName("control2");
    close->setDefault(true);
    connect(aboutButton, &QPushButton::clicked, this, &HelpDialog::showAbout);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    // Where the song list and the settings live, one click away.
    const QString folder = QString::fromStdString(dataFolder());
    link_ = new CHyperLink(tr("打开保存歌曲列表和设置的目录: %1").arg(folder), this);
    link_->setUrl(QUrl::fromLocalFile(folder).toString());
    link_->setTip(tr("在文件管理器中打开这个目录"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(aboutButton);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* all = new QVBoxLayout(this);
    all->addWidget(text, 1);
    all->addWidget(link_);
    all->addLayout(buttons);
}

// Only on request: leaving the help goes straight back to the window it came from.
void HelpDialog::showAbout() {
    if (about_) about_();
}

QString HelpDialog::helpText() {
    const QString folder = QString::fromStdString(dataFolder());
    return tr("                         Melnix  卡拉OK字幕制作\n"
              "                           使 用 说 明\n"
              "\n"
              "一、本软件的功能\n"
              "\n"
              "    用自己喜欢的歌曲(MP3、WAV、MIDI、影像文件等)，配上逐字变色的卡拉OK字幕，"
              "再配上自己的照片、图片或影像，就能做成属于自己的卡拉OK节目，全屏欣赏。"
              "歌词的时间同步信息可存在歌曲文件的尾部，也可另存为同步歌词文件(.MLX)，"
              "还能读入别人做好的 LRC、KSC 同步歌词。\n"
              "\n"
              "二、认识编辑界面\n"
              "\n"
              "    最上面是字幕区，显示当前一句歌词并随演唱逐字变色；其下是波形区，"
              "显示歌曲的音量波形、MIDI 歌曲的旋律音符或时间标尺；再下面一条是歌词调整区，"
              "每个字都排在它被唱到的时间上。下面依次是播放控制按钮、歌词编辑按钮、"
              "歌词组合框、播放速度选择、播放进度条，以及当前位置、歌曲长度和文件大小。"
              "鼠标停在任何地方，最下面的提示栏都会说明它的用法。\n"
              "\n"
              "三、按部就班的制作过程\n"
              "\n"
              "1.打开音乐(*.MP3,*.MID,*.WAV,*.MPG等)\n"
              "    点击[打开列表]选择以前打开过的歌曲或添加新的歌曲，或点击[文件]直接打开一首歌曲。\n"
              "\n"
              "2.录入歌词\n"
              "    点击[添加]，在组合框中输入一句歌词(每句不超过15个汉字)，再点击确定按钮；"
              "也可以点击[导入歌词]，从文本文件或剪贴板中一次导入全部歌词。\n"
              "\n"
              "3.调整时间同步\n"
              "    选择较慢的播放速度(0.5x 不变调，最适合调整)，演唱时随着节奏单击[同步]按钮，"
              "每个字单击一次；或用鼠标左键在字幕区划过整句歌词；再在歌词调整区中把个别的字拖到准确的时间。"
              "最后点击[导出]或[保存]存盘。\n"
              "\n"
              "4.为歌曲设置背景图像(*.jpg等)或影像(*.MPG)\n"
              "    在[打开列表]中选中歌曲，点击[背景图像/音乐]，选择一组图片或一段影像。"
              "只选一张图片，等于选择了该目录下的所有图片。\n"
              "\n"
              "四、制作技巧\n"
              "\n"
              "1.重复的歌词不必重新输入：添加时点击组合框的下三角，选择已录入的同样语句即可。\n"
              "2.节奏相同的重复语句，可用[参考]按钮引用另一句的时间同步信息。\n"
              "3.若某句歌词要等很久才开始唱，可在字幕区压住鼠标右键等待，开唱时再松开。\n"
              "4.演唱时用鼠标左键随着歌声划过字幕区的整句歌词，可以很快地初步定好一句的时间。\n"
              "5.网上找到的纯文本歌词，可复制到剪贴板，再通过[导入歌词]中的“从剪贴板导入”读入。\n"
              "6.MIDI 歌曲可在[音轨]中设置只播放主旋律音轨，此时一个字对应一个音符，"
              "在歌词调整区单击右键即可按旋律自动同步。\n"
              "7.[同步]按钮：从句首开始，每唱一个字单击一次，一句唱完即定好了整句的时间。\n"
              "\n"
              "五、欣赏制作结果\n"
              "\n"
              "    点击[欣赏]，歌曲连同逐字变色的字幕和背景图片或影像一起全屏播放。\n"
              "\n"
              "六、键盘\n"
              "\n"
              "    回车键(可在窗口菜单的“同步键”中改为 F、J 或下箭头键)：演唱时每唱一个字按一下，"
              "与[同步]按钮相同，按住不会重复；退格键：退回一字，下一次同步重新确定刚才那个字的时间。\n"
              "    空格键：播放/暂停；左右箭头键：像[<][>]一样移动波形区；"
              "Ctrl+左/右箭头键：本句及以后的歌词提前/推后 0.1 秒(窗口菜单中还可整体移动歌词)。\n"
              "    Ctrl+上/下箭头键：把歌曲升高/降低一个半音，速度不变，每首歌曲各自记住；Ctrl+0：复位到原调。"
              "欣赏时右键菜单的“升降调”中也能改变。\n"
              "    Ctrl+Z：撤销；Ctrl+Y 或 Ctrl+Shift+Z：重做；Ctrl+S：保存；Ctrl+O：打开文件；"
              "F1：帮助；F5：欣赏；Ctrl+Q：退出；Esc：取消正在进行的添加、修改等操作。\n"
              "    窗口菜单(在字幕区、波形区和歌词调整区以外单击右键)中有撤销、重做、移动歌词时间和同步键的选择。\n"
              "\n"
              "七、补充资料\n"
              "\n"
              "    打开过的歌曲列表及各项设置保存在 %1 目录下的 KTextParam.rec 文件中，"
              "删除它即可恢复初始状态。本软件的更新请留意发布它的网站。\n")
        .arg(folder);
}

}  // namespace melnix
