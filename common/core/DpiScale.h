// Display scaling without the operating system: which of the pictures drawn at
// 1x, 1.5x and 2x suits a DPI, and how lengths drawn for 96 DPI grow with the
// picture that is shown.
#pragma once

namespace dpi {

// The DPI at which every length of the program's drawings was designed.
constexpr int BASE_DPI = 96;

// Scales of the shipped pictures in halves: 2 = 1x, 3 = 1.5x, 4 = 2x.
constexpr int HALVES_1X = 2;
constexpr int HALVES_1_5X = 3;
constexpr int HALVES_2X = 4;

struct Size {
    int cx;
    int cy;
};

// The smallest shipped scale that is not smaller than nDpi / 96: at 125 % the
// 1.5x picture, shown pixel for pixel and sharp, rather than a 1x one that
// looks small or one stretched until it blurs. 2x for anything above 192;
// an unknown or nonsensical DPI (0 or less) gets 1x.
int PictureHalves(int nDpi);

// nValue at the scale nHalves / 2, rounded half away from zero, so that
// lengths to the left of and above a centre mirror those to the right and below.
int ScaleByHalves(int nValue, int nHalves);

// Position of a scale in a program's list of one picture at every shipped
// scale, from 1x to 2x; scales outside that range get the nearest end.
constexpr int PICTURE_SCALES = 3;
int PictureIndex(int nHalves);

// Outer size of a window that shows a picture (drawn at nHalves) centred in
// its client area. designOuter is the outer size at 96 DPI and frameAtBase
// the frame (outer minus client size) at 96 DPI; the margin these leave
// around the picture at 1x grows with the picture's scale, and the frame at
// the window's DPI (frame) is added. At 96 DPI with the 1x picture the result
// is designOuter exactly, whatever the frame.
Size WindowSizeForPicture(Size picture, int nHalves, Size frame, Size designOuter,
                          Size frameAtBase);

} // namespace dpi
