// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/image_list.h"

#include "platform/failure.h"

#include <QImage>
#include <gtest/gtest.h>

TEST(TrayFrames, AreThreeDistinct16PixelPictures) {
    std::vector<QImage> frames;
    for (int index = 0; index < kTrayFrameCount; ++index) {
        const QIcon icon = ImageList1Icon(index);
        ASSERT_EQ(icon.availableSizes(), QList<QSize>{QSize(16, 16)}) << index;
        frames.push_back(icon.pixmap(16, 16).toImage());
    }
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_NE(frames[0], frames[1]);
    EXPECT_NE(frames[1], frames[2]);
    EXPECT_NE(frames[0], frames[2]);
    EXPECT_THROW(ImageList1Icon(-1), platform::RangeError);
    EXPECT_THROW(ImageList1Icon(3), platform::RangeError);
}
