// SPDX-License-Identifier: GPL-3.0-or-later
// GoogleTest main for tests that need a QApplication.
#include <gtest/gtest.h>

#include <QApplication>

#include "ui/chinese_fonts.h"

int main(int argc, char** argv) {
    // Listing the tests at build time runs this too, with no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    melnix::registerChineseFontSubstitutes();
    return RUN_ALL_TESTS();
}
