// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/default_pictures.h"

#include <QImage>

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(DefaultPictures, TwoJpegsHandedOutInTurn) {
    const QByteArray first = NextDefaultPicture(), second = NextDefaultPicture(), third = NextDefaultPicture();
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(first, third);
    QImage image;
    ASSERT_TRUE(image.loadFromData(first, "JPG"));
    EXPECT_GE(image.width(), 640);
}

}  // namespace
}  // namespace melnix
