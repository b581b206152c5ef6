#include "present/closing_texts.h"

#include <QCoreApplication>

namespace melnix {

QString closingText(int index, bool hasLines) {
    auto tr = [](const char* text) { return QCoreApplication::translate("EditorDialog", text); };
    switch (index % kClosingTextCount) {
        case 0: return hasLines ? tr("(录入的唱词结束)") : tr("(尚未录入唱词,你可用本软件录入)");
        case 1: return tr("配备动态图像,请点击 [欣赏] 按钮");
        case 2: return tr("欢迎使用 Melnix 卡拉OK歌词制作");
        default: return tr("祝你: 万事如意 快乐每一天");
    }
}

}  // namespace melnix
