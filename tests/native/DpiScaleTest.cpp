#include "DpiScale.h"
#include "RemoteKeyLayout.h"

#include <gtest/gtest.h>

namespace {

TEST(DpiScaleTest, PictureIsTheSmallestScaleNotSmallerThanTheDpi) {
    EXPECT_EQ(dpi::HALVES_1X, dpi::PictureHalves(0));
    EXPECT_EQ(dpi::HALVES_1X, dpi::PictureHalves(96));
    EXPECT_EQ(dpi::HALVES_1_5X, dpi::PictureHalves(97));
    EXPECT_EQ(dpi::HALVES_1_5X, dpi::PictureHalves(120));
    EXPECT_EQ(dpi::HALVES_1_5X, dpi::PictureHalves(144));
    EXPECT_EQ(dpi::HALVES_2X, dpi::PictureHalves(145));
    EXPECT_EQ(dpi::HALVES_2X, dpi::PictureHalves(192));
    EXPECT_EQ(dpi::HALVES_2X, dpi::PictureHalves(288));
    EXPECT_EQ(0, dpi::PictureIndex(dpi::PictureHalves(96)));
    EXPECT_EQ(1, dpi::PictureIndex(dpi::PictureHalves(120)));
    EXPECT_EQ(2, dpi::PictureIndex(dpi::PictureHalves(192)));
    EXPECT_EQ(0, dpi::PictureIndex(0));
    EXPECT_EQ(2, dpi::PictureIndex(9));
}

TEST(DpiScaleTest, LengthsRoundHalfAwayFromZeroSymmetrically) {
    EXPECT_EQ(-95, dpi::ScaleByHalves(-95, 2));
    EXPECT_EQ(-190, dpi::ScaleByHalves(-95, 4));
    EXPECT_EQ(-143, dpi::ScaleByHalves(-95, 3));
    EXPECT_EQ(143, dpi::ScaleByHalves(95, 3));
    EXPECT_EQ(0, dpi::ScaleByHalves(0, 3));
    EXPECT_EQ(5, dpi::ScaleByHalves(3, 3));
}

TEST(DpiScaleTest, WindowKeepsItsDesignSizeAt96AndGrowsWithThePicture) {
    const dpi::Size outer{100, 300};
    const dpi::Size frame96{8, 27};
    // 1x: exactly the design size, whatever the frame.
    dpi::Size size = dpi::WindowSizeForPicture({58, 255}, 2, frame96, outer, frame96);
    EXPECT_EQ(100, size.cx);
    EXPECT_EQ(300, size.cy);
    // 2x: picture, twice the 1x margin (34 x 18), and the frame at 192 DPI.
    size = dpi::WindowSizeForPicture({116, 510}, 4, {12, 45}, outer, frame96);
    EXPECT_EQ(116 + 68 + 12, size.cx);
    EXPECT_EQ(510 + 36 + 45, size.cy);
    // 1.5x: the 1x picture is taken as 58 x 255 again from 87 x 382.
    size = dpi::WindowSizeForPicture({87, 382}, 3, {10, 36}, outer, frame96);
    EXPECT_EQ(87 + 51 + 10, size.cx);
    EXPECT_EQ(382 + 27 + 36, size.cy);
    // A frame larger than the design size leaves no margin rather than a negative one.
    size = dpi::WindowSizeForPicture({58, 255}, 2, {200, 400}, outer, {200, 400});
    EXPECT_EQ(258, size.cx);
    EXPECT_EQ(655, size.cy);
}

} // namespace

TEST(RemoteKeyLayoutTest, AClickFindsTheKeyUnderItAtEveryScale) {
    for (int halves = dpi::HALVES_1X; halves <= dpi::HALVES_2X; ++halves) {
        for (int type = 0; type <= 1; ++type) {
            for (int key = 1; key <= 23; ++key) {
                const remote_layout::KeyMark* mark = remote_layout::FindMark(type, key);
                EXPECT_EQ(mark != nullptr, type == 0 ? key <= 6 : key >= 7) << key;
                if (mark == nullptr)
                    continue;
                const remote_layout::Rect rc = remote_layout::ScaledRect(*mark, 50, 150, halves);
                EXPECT_EQ(key, remote_layout::KeyAt(type, (rc.nLeft + rc.nRight) / 2,
                                                    (rc.nTop + rc.nBottom) / 2, 50, 150, halves));
            }
        }
        EXPECT_EQ(0, remote_layout::KeyAt(0, 50, 150 + 40 * halves, 50, 150, halves));
    }
}
