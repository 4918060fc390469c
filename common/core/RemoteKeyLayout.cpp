#include "RemoteKeyLayout.h"

#include "DpiScale.h"

namespace remote_layout {

namespace {

const int RC_TYPE_ZELMAR_OVI = 1;

const KeyMark MARKS_VEKO[] = {
    {1, Shape::RoundRect, 3, {-20, -95, 0, -67}}, {2, Shape::RoundRect, 3, {1, -95, 21, -67}},
    {3, Shape::RoundRect, 3, {-20, -57, 0, -29}}, {4, Shape::RoundRect, 3, {1, -57, 21, -29}},
    {5, Shape::RoundRect, 3, {-20, -19, 0, 9}},   {6, Shape::RoundRect, 3, {1, -19, 21, 9}},
};

const KeyMark MARKS_ZELMAR_OVI[] = {
    {7, Shape::Ellipse, 0, {-38, -92, -17, -71}},      // F1
    {8, Shape::Ellipse, 0, {-10, -92, 11, -71}},       // F2
    {9, Shape::Ellipse, 0, {18, -92, 39, -71}},        // F3
    {10, Shape::Ellipse, 0, {-38, -68, -17, -47}},     // F4
    {11, Shape::Ellipse, 0, {-10, -68, 11, -47}},      // F5
    {12, Shape::Ellipse, 0, {18, -68, 39, -47}},       // F6
    {13, Shape::RoundRect, 22, {-30, -46, -1, -24}},   // ESC
    {14, Shape::RoundRect, 22, {3, -46, 33, -24}},     // Enter
    {15, Shape::Ellipse, 0, {-8, -25, 11, -6}},        // arrow up
    {16, Shape::Ellipse, 0, {-8, 11, 11, 30}},         // arrow down
    {17, Shape::Ellipse, 0, {-26, -7, -7, 12}},        // arrow left
    {18, Shape::Ellipse, 0, {10, -7, 29, 12}},         // arrow right
    {19, Shape::RoundRect, 18, {-41, -113, -11, -95}}, // vehicle
    {20, Shape::RoundRect, 18, {-8, -113, 38, -95}},   // STOP
    {21, Shape::Ellipse, 0, {-28, 26, -9, 45}},        // question mark
    {22, Shape::Ellipse, 0, {12, 26, 31, 45}},         // right of the question mark
    {23, Shape::Ellipse, 0, {-8, 41, 11, 60}},         // green round key
};

template <int N> const KeyMark* Find(const KeyMark (&marks)[N], int nKey) {
    for (const KeyMark& mark : marks) {
        if (mark.nKey == nKey) {
            return &mark;
        }
    }
    return nullptr;
}

} // namespace

const KeyMark* FindMark(int nRcType, int nKey) {
    return nRcType == RC_TYPE_ZELMAR_OVI ? Find(MARKS_ZELMAR_OVI, nKey) : Find(MARKS_VEKO, nKey);
}

Rect ScaledRect(const KeyMark& mark, int cx, int cy, int nHalves) {
    return Rect{cx + dpi::ScaleByHalves(mark.rect.nLeft, nHalves),
                cy + dpi::ScaleByHalves(mark.rect.nTop, nHalves),
                cx + dpi::ScaleByHalves(mark.rect.nRight, nHalves),
                cy + dpi::ScaleByHalves(mark.rect.nBottom, nHalves)};
}

int KeyAt(int nRcType, int x, int y, int cx, int cy, int nHalves) {
    // Some marks overlap at their edges (ZELMAR_OVI's arrows): the nearest
    // centre wins.
    int nBest = 0;
    long long lBestDistance = 0;
    for (int nKey = 1; nKey <= 23; ++nKey) {
        const KeyMark* pMark = FindMark(nRcType, nKey);
        if (pMark == nullptr) {
            continue;
        }
        const Rect rc = ScaledRect(*pMark, cx, cy, nHalves);
        if (x < rc.nLeft || x >= rc.nRight || y < rc.nTop || y >= rc.nBottom) {
            continue;
        }
        const long long dx = 2LL * x - rc.nLeft - rc.nRight;
        const long long dy = 2LL * y - rc.nTop - rc.nBottom;
        if (nBest == 0 || dx * dx + dy * dy < lBestDistance) {
            nBest = nKey;
            lBestDistance = dx * dx + dy * dy;
        }
    }
    return nBest;
}

} // namespace remote_layout
