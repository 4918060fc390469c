#include "DpiScale.h"

namespace dpi {

int PictureHalves(int nDpi) {
    if (nDpi <= BASE_DPI) {
        return HALVES_1X;
    }
    if (nDpi <= BASE_DPI * HALVES_1_5X / 2) {
        return HALVES_1_5X;
    }
    return HALVES_2X;
}

int ScaleByHalves(int nValue, int nHalves) {
    const long long lTwice = static_cast<long long>(nValue) * nHalves;
    const long long lScaled = lTwice >= 0 ? (lTwice + 1) / 2 : -((-lTwice + 1) / 2);
    return static_cast<int>(lScaled);
}

int PictureIndex(int nHalves) {
    if (nHalves <= HALVES_1X) {
        return 0;
    }
    return nHalves >= HALVES_2X ? PICTURE_SCALES - 1 : nHalves - HALVES_1X;
}

Size WindowSizeForPicture(Size picture, int nHalves, Size frame, Size designOuter,
                          Size frameAtBase) {
    if (nHalves < HALVES_1X) {
        nHalves = HALVES_1X;
    }
    // The margin around the picture at 1x, never negative.
    auto margin = [nHalves](int nOuter, int nFrame, int nPicture) {
        const int nPictureAt1x = (nPicture * HALVES_1X + nHalves / 2) / nHalves;
        const int nMargin = nOuter - nFrame - nPictureAt1x;
        return nMargin > 0 ? nMargin : 0;
    };
    const int nMarginX = margin(designOuter.cx, frameAtBase.cx, picture.cx);
    const int nMarginY = margin(designOuter.cy, frameAtBase.cy, picture.cy);
    return Size{picture.cx + ScaleByHalves(nMarginX, nHalves) + frame.cx,
                picture.cy + ScaleByHalves(nMarginY, nHalves) + frame.cy};
}

} // namespace dpi
