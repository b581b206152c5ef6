// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/closing_texts.h"

#include <QCoreApplication>

namespace melnix {
namespace {

struct ClosingText {
    Q_DECLARE_TR_FUNCTIONS(melnix::ClosingTexts)
};

}  // namespace

QString closingText(int index, bool hasLines) {
    switch (index % kClosingTextCount) {
        case 0: return hasLines ? ClosingText::tr("(录入的唱词结束)") : ClosingText::tr("(尚未录入唱词,你可用本软件录入)");
        case 1: return ClosingText::tr("配备动态图像,请点击 [欣赏] 按钮");
        case 2: return ClosingText::tr("欢迎使用 Melnix 卡拉OK歌词制作");
        default: return ClosingText::tr("祝你: 万事如意 快乐每一天");
    }
}

}  // namespace melnix
