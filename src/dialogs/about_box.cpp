// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/about_box.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/app_icons.h"

#ifndef MELNIX_VERSION
#define MELNIX_VERSION "0"
#endif

namespace melnix {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("AboutBox");
    setWindowTitle(tr("关于 Melnix"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    auto* icon = new QLabel(this);
    icon->setPixmap(melnixIcon(kIconProgram).pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);

    auto* name = new QLabel(QStringLiteral("<b style='font-size:16pt'>Melnix</b>"), this);
    auto* version = new QLabel(tr("版本 %1").arg(QStringLiteral(MELNIX_VERSION)), this);
    version->setObjectName("version");
    auto* what = new QLabel(tr("卡拉OK歌词同步与字幕制作软件：\n为自己的歌曲配上逐字变色的字幕，\n配上自己的图片或影像，全屏欣赏。"), this);

    auto* close = new QPushButton(tr("关闭"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* text = new QVBoxLayout;
    text->addWidget(name);
    text->addWidget(version);
    text->addSpacing(8);
    text->addWidget(what);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* all = new QVBoxLayout(this);
    all->addLayout(top);
    all->addSpacing(12);
    all->addLayout(buttons);
    all->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace melnix
