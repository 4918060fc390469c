// Where each key lies on the pictures of the two remote controls, for the
// test dialog that marks received keys and the key-map editor that lets the
// user click them. Positions are relative to the picture's centre at 1x.
#pragma once

namespace remote_layout {

enum class Shape { RoundRect, Ellipse };

struct Rect {
    int nLeft, nTop, nRight, nBottom; // right and bottom exclusive
};

struct KeyMark {
    int nKey;
    Shape shape;
    int nCorner; // corner ellipse's width and height for RoundRect
    Rect rect;
};

// The key's mark on the picture of a remote type (settings' RC_type: 1 is
// the ZELMAR_OVI, anything else the VEKO); null for a key of the other type.
const KeyMark* FindMark(int nRcType, int nKey);

// The mark's rectangle on a picture drawn at nHalves (2 = 1x) whose centre
// lies at cx, cy.
Rect ScaledRect(const KeyMark& mark, int cx, int cy, int nHalves);

// The key under a point of that picture; 0 for none.
int KeyAt(int nRcType, int x, int y, int cx, int cy, int nHalves);

} // namespace remote_layout
