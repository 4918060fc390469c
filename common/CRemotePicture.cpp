#include "CRemotePicture.h"

#include "CDC.h"
#include "DpiScale.h"
#include "RemoteKeyLayout.h"
#include "RemotePictures.h"
#include "Settings.h"

namespace {

const COLORREF BACKGROUND_COLOUR = RGB(209, 209, 209);

const UINT PICTURES_VEKO[dpi::PICTURE_SCALES] = {IDB_REMOTE_VEKO, IDB_REMOTE_VEKO_150,
                                                 IDB_REMOTE_VEKO_200};
const UINT PICTURES_ZELMAR_OVI[dpi::PICTURE_SCALES] = {
    IDB_REMOTE_ZELMAR_OVI, IDB_REMOTE_ZELMAR_OVI_150, IDB_REMOTE_ZELMAR_OVI_200};

UINT PictureResource(int nRcType, int nHalves) {
    const UINT* pPictures =
        nRcType == settings::RC_TYPE_ZELMAR_OVI ? PICTURES_ZELMAR_OVI : PICTURES_VEKO;
    return pPictures[dpi::PictureIndex(nHalves)];
}

POINT Centre(const RECT& rc) {
    return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

} // namespace

CRemotePicture::CRemotePicture() : m_brBackground(CreateSolidBrush(BACKGROUND_COLOUR)) {}

CRemotePicture::~CRemotePicture() {
    if (m_brBackground != nullptr) {
        DeleteObject(m_brBackground);
    }
}

void CRemotePicture::Load(int nRcType, UINT nDpi) {
    const int nHalves = dpi::PictureHalves(static_cast<int>(nDpi));
    if (nRcType == m_nRcType && nHalves == m_nWanted) {
        return;
    }
    m_nRcType = nRcType;
    m_nWanted = nHalves;
    m_nHalves = nHalves;
    m_bitmap.DeleteObject();
    // Without the scaled picture the 1x one still shows every key.
    if (!m_bitmap.LoadBitmap(PictureResource(nRcType, nHalves))) {
        m_bitmap.LoadBitmap(PictureResource(nRcType, dpi::HALVES_1X));
        m_nHalves = dpi::HALVES_1X;
    }
}

int CRemotePicture::GetHalves() const {
    return m_nHalves != 0 ? m_nHalves : dpi::HALVES_1X;
}

SIZE CRemotePicture::GetSize() const {
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

void CRemotePicture::Draw(CDC& dc, const RECT& rc) const {
    dc.FillRect(rc, m_brBackground);
    BITMAP bm;
    if (!m_bitmap.GetBitmap(&bm)) {
        return;
    }
    CDC picture;
    if (picture.CreateCompatibleDC(&dc)) {
        const POINT centre = Centre(rc);
        const HGDIOBJ hOld = picture.SelectObject(m_bitmap.GetSafeHandle());
        dc.BitBlt(centre.x - bm.bmWidth / 2, centre.y - bm.bmHeight / 2, bm.bmWidth, bm.bmHeight,
                  &picture, 0, 0, SRCCOPY);
        picture.SelectObject(hOld);
    }
}

void CRemotePicture::DrawMark(CDC& dc, const RECT& rc, int nKey, Pen pen) const {
    Outline(dc, rc, nKey, pen, 0);
}

void CRemotePicture::DrawInnerRing(CDC& dc, const RECT& rc, int nKey, Pen pen, int nInset) const {
    Outline(dc, rc, nKey, pen, nInset);
}

void CRemotePicture::Outline(CDC& dc, const RECT& rc, int nKey, Pen pen, int nInset) const {
    const remote_layout::KeyMark* pMark = remote_layout::FindMark(m_nRcType, nKey);
    if (pMark == nullptr) {
        return;
    }
    // The marks grow with the picture, around the same centre.
    const int nHalves = GetHalves();
    const POINT centre = Centre(rc);
    const remote_layout::Rect r = remote_layout::ScaledRect(*pMark, centre.x, centre.y, nHalves);
    const int nIn = dpi::ScaleByHalves(nInset, nHalves);
    const RECT rcMark{r.nLeft + nIn, r.nTop + nIn, r.nRight - nIn, r.nBottom - nIn};
    const HPEN hPen = CreatePen(PS_SOLID, dpi::ScaleByHalves(pen.nWidth, nHalves), pen.colour);
    const HGDIOBJ hOldPen = dc.SelectObject(hPen);
    const HGDIOBJ hOldBrush = dc.SelectStockObject(HOLLOW_BRUSH);
    if (nInset != 0 || pMark->shape == remote_layout::Shape::Ellipse) {
        dc.Ellipse(rcMark);
    } else {
        const int nCorner = dpi::ScaleByHalves(pMark->nCorner, nHalves);
        dc.RoundRect(rcMark, nCorner, nCorner);
    }
    dc.SelectObject(hOldBrush);
    dc.SelectObject(hOldPen);
    if (hPen != nullptr) {
        DeleteObject(hPen);
    }
}

int CRemotePicture::KeyAt(const RECT& rc, POINT pt) const {
    const POINT centre = Centre(rc);
    return remote_layout::KeyAt(m_nRcType, pt.x, pt.y, centre.x, centre.y, GetHalves());
}
