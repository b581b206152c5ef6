// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The about box: the program's name, icon and version, and a close button.

#include <QDialog>

namespace melnix {

class AboutBox : public QDialog {
    Q_OBJECT
public:
    explicit AboutBox(QWidget* parent = nullptr);
};

}  // namespace melnix
