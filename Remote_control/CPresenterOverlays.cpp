#include "CPresenterOverlays.h"

#include "COverlayGeometry.h"
#include "WindowDpi.h"

#include <cmath>
#include <iterator>

namespace {

using Tool = CPresenterTools::Tool;

const wchar_t* const CLASS_NAMES[CPresenterTools::TOOL_COUNT] = {
    L"KV480Spotlight", L"KV480LaserDot", L"KV480Magnifier", L"KV480BlankScreen", L"KV480Timer"};
// The darkening around the spotlight: dark, yet the slide still shows through.
const BYTE SHADE_ALPHA = 180;
const COLORREF LENS_FRAME = RGB(255, 255, 255);
const int LENS_FRAME_WIDTH = 2;   // at 96 DPI
const int TIMER_FONT_HEIGHT = 34; // at 96 DPI
const BYTE TIMER_OPACITY = 235;
// When the display does not tell its refresh rate.
const DWORD DEFAULT_HZ = 60;

// The one instance that the mouse hook reports to.
CPresenterOverlays* g_pFollower = nullptr;

using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

UINT MonitorDpi(HMONITOR hMonitor) {
    // shcore's, from Windows 8.1 on; the system DPI before.
    static const auto pGetDpiForMonitor = [] {
        const HMODULE hShcore = LoadLibraryW(L"shcore.dll");
        return hShcore == nullptr
                   ? nullptr
                   : reinterpret_cast<GetDpiForMonitorFn>(
                         reinterpret_cast<void (*)()>(GetProcAddress(hShcore, "GetDpiForMonitor")));
    }();
    UINT nX = 0;
    UINT nY = 0;
    if (pGetDpiForMonitor != nullptr && SUCCEEDED(pGetDpiForMonitor(hMonitor, 0, &nX, &nY)) &&
        nX != 0) {
        return nX;
    }
    return framework::GetWindowDpi(nullptr);
}

bool MonitorAt(POINT point, RECT& monitor, UINT& nDpi) {
    const HMONITOR hMonitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    if (!GetMonitorInfoW(hMonitor, &info)) {
        return false;
    }
    monitor = info.rcMonitor;
    nDpi = MonitorDpi(hMonitor);
    return true;
}

// The monitor of the window in front, where a slide show is.
bool MonitorInFront(RECT& monitor, UINT& nDpi) {
    const HWND hFront = GetForegroundWindow();
    RECT window = {0, 0, 0, 0};
    if (hFront == nullptr || !GetWindowRect(hFront, &window)) {
        return MonitorAt(POINT{0, 0}, monitor, nDpi);
    }
    return MonitorAt(POINT{(window.left + window.right) / 2, (window.top + window.bottom) / 2},
                     monitor, nDpi);
}

COverlayGeometry Geometry(const RECT& monitor, UINT nDpi) {
    return COverlayGeometry({monitor.left, monitor.top, monitor.right, monitor.bottom},
                            static_cast<int>(nDpi));
}

std::uint64_t FrameMs() {
    DEVMODEW mode;
    ZeroMemory(&mode, sizeof(mode));
    mode.dmSize = sizeof(mode);
    const DWORD dwHz =
        EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode) && mode.dmDisplayFrequency > 1
            ? mode.dmDisplayFrequency
            : DEFAULT_HZ;
    return 1000 / dwHz > 0 ? 1000 / dwHz : 1;
}

// A premultiplied pixel of a colour at an opacity.
DWORD Pixel(COLORREF colour, BYTE alpha) {
    const auto part = [alpha](BYTE value) { return static_cast<DWORD>(value * alpha / 255); };
    return (static_cast<DWORD>(alpha) << 24) | (part(GetRValue(colour)) << 16) |
           (part(GetGValue(colour)) << 8) | part(GetBValue(colour));
}

// The opacity at a distance from a disk's edge (negative inside), one pixel
// soft.
double Coverage(double dDistance) {
    return dDistance <= -0.5 ? 1.0 : (dDistance >= 0.5 ? 0.0 : 0.5 - dDistance);
}

void Fill(DWORD* pBits, int nStride, const RECT& area, DWORD dwPixel) {
    for (int y = area.top; y < area.bottom; ++y) {
        DWORD* pRow = pBits + static_cast<std::ptrdiff_t>(y) * nStride;
        for (int x = area.left; x < area.right; ++x) {
            pRow[x] = dwPixel;
        }
    }
}

bool Update(HWND hWnd, HDC hSource, const RECT& place, BYTE format, const RECT* pDirty) {
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, format};
    POINT position = {place.left, place.top};
    SIZE size = {place.right - place.left, place.bottom - place.top};
    POINT origin = {0, 0};
    UPDATELAYEREDWINDOWINFO info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    info.pptDst = &position;
    info.psize = &size;
    info.hdcSrc = hSource;
    info.pptSrc = &origin;
    info.pblend = &blend;
    info.dwFlags = ULW_ALPHA;
    info.prcDirty = pDirty;
    return UpdateLayeredWindowIndirect(hWnd, &info) != FALSE;
}

} // namespace

CPresenterOverlays::CPresenterOverlays(CDeadlineClock& clock)
    : m_clock(clock), m_pacer(FrameMs()), m_frameTimer(clock, [this] { OnFrame(); }),
      m_talkTimer(clock, [this] { UpdateTimer(); }) {}

CPresenterOverlays::~CPresenterOverlays() {
    AllOff();
    for (HWND& hWnd : m_ahWnd) {
        if (hWnd != nullptr) {
            DestroyWindow(hWnd);
            hWnd = nullptr;
        }
    }
    FreeSurface(m_dot);
    FreeSurface(m_lens);
    if (m_hTimerFont != nullptr) {
        DeleteObject(m_hTimerFont);
    }
}

bool CPresenterOverlays::MakeSurface(Surface& surface, int nWidth, int nHeight) {
    if (surface.hDC != nullptr && surface.nWidth == nWidth && surface.nHeight == nHeight) {
        return true;
    }
    FreeSurface(surface);
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pBits = nullptr;
    surface.hDC = CreateCompatibleDC(nullptr);
    surface.hBitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pBits, nullptr, 0);
    if (surface.hDC == nullptr || surface.hBitmap == nullptr) {
        FreeSurface(surface);
        return false;
    }
    surface.hOld = SelectObject(surface.hDC, surface.hBitmap);
    surface.pBits = static_cast<DWORD*>(pBits);
    surface.nWidth = nWidth;
    surface.nHeight = nHeight;
    return true;
}

void CPresenterOverlays::FreeSurface(Surface& surface) {
    if (surface.hDC != nullptr) {
        if (surface.hOld != nullptr) {
            SelectObject(surface.hDC, surface.hOld);
        }
        DeleteDC(surface.hDC);
    }
    if (surface.hBitmap != nullptr) {
        DeleteObject(surface.hBitmap);
    }
    surface = Surface();
}

HWND CPresenterOverlays::Window(Tool tool) {
    if (m_ahWnd[tool] != nullptr) {
        return m_ahWnd[tool];
    }
    const HINSTANCE hInstance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass;
    ZeroMemory(&windowClass, sizeof(windowClass));
    if (!GetClassInfoW(hInstance, CLASS_NAMES[tool], &windowClass)) {
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = hInstance;
        windowClass.lpszClassName = CLASS_NAMES[tool];
        if (RegisterClassW(&windowClass) == 0) {
            return nullptr;
        }
    }
    // Never activated, clicks go through to what lies below, above other
    // windows (slide shows too), and neither on the taskbar nor in Alt+Tab.
    m_ahWnd[tool] = CreateWindowExW(
        WS_EX_NOACTIVATE | WS_EX_TRANSPARENT | WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED,
        CLASS_NAMES[tool], L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, hInstance, this);
    return m_ahWnd[tool];
}

bool CPresenterOverlays::Carry(const CKeyAction& action) {
    Tool tool = CPresenterTools::SPOTLIGHT;
    if (!CPresenterTools::ToolOf(action, tool)) {
        return false;
    }
    m_tools.Press(action);
    if (m_tools.IsOn(tool)) {
        Show(tool);
    } else {
        Hide(tool);
    }
    Follow();
    return true;
}

void CPresenterOverlays::AllOff() {
    m_tools.AllOff();
    for (int nTool = 0; nTool < CPresenterTools::TOOL_COUNT; ++nTool) {
        Hide(static_cast<Tool>(nTool));
    }
    Follow();
}

void CPresenterOverlays::Show(Tool tool) {
    if (Window(tool) == nullptr) {
        return;
    }
    POINT point = {0, 0};
    GetCursorPos(&point);
    switch (tool) {
    case CPresenterTools::SPOTLIGHT:
        DrawSpotlight(point);
        break;
    case CPresenterTools::LASER_DOT:
        DrawDot(point);
        break;
    case CPresenterTools::MAGNIFIER:
        DrawLens(point);
        break;
    case CPresenterTools::BLANK_SCREEN:
        ShowBlankScreen();
        return;
    case CPresenterTools::TIMER:
        StartTimer();
        return;
    default:
        return;
    }
    SetWindowPos(m_ahWnd[tool], HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CPresenterOverlays::Hide(Tool tool) {
    if (m_ahWnd[tool] != nullptr) {
        ShowWindow(m_ahWnd[tool], SW_HIDE);
    }
    // The spotlight's surface is a whole monitor's: not kept while off.
    if (tool == CPresenterTools::SPOTLIGHT) {
        FreeSurface(m_spotlight);
    } else if (tool == CPresenterTools::TIMER) {
        m_talkTimer.Cancel();
    }
}

void CPresenterOverlays::Follow() {
    if (m_tools.FollowsPointer() && m_hMouseHook == nullptr) {
        g_pFollower = this;
        m_hMouseHook = SetWindowsHookExW(WH_MOUSE_LL, MouseHook, GetModuleHandleW(nullptr), 0);
    } else if (!m_tools.FollowsPointer() && m_hMouseHook != nullptr) {
        UnhookWindowsHookEx(m_hMouseHook);
        m_hMouseHook = nullptr;
        g_pFollower = nullptr;
    }
    if (m_tools.NeedsFrames()) {
        if (!m_frameTimer.IsSet()) {
            m_frameTimer.SetAfter(m_pacer.FrameMs());
        }
    } else if (!m_tools.FollowsPointer()) {
        m_frameTimer.Cancel();
    }
}

LRESULT CALLBACK CPresenterOverlays::MouseHook(int nCode, WPARAM wParam, LPARAM lParam) {
    if (nCode == HC_ACTION && wParam == WM_MOUSEMOVE && g_pFollower != nullptr) {
        g_pFollower->OnPointer(reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam)->pt);
    }
    return CallNextHookEx(nullptr, nCode, wParam, lParam);
}

void CPresenterOverlays::PointerMoved() {
    POINT point;
    if (m_tools.FollowsPointer() && GetCursorPos(&point)) {
        OnPointer(point);
    }
}

void CPresenterOverlays::OnPointer(POINT point) {
    const std::uint64_t nNowMs = m_clock.Now();
    const std::uint64_t nDueMs = m_pacer.Moved(nNowMs);
    if (nDueMs > nNowMs) {
        // Drawn by the frame's timer; a running one comes as soon.
        if (!m_frameTimer.IsSet() || m_frameTimer.DueMs() > nDueMs) {
            m_frameTimer.SetAt(nDueMs);
        }
        return;
    }
    DrawFollowers(point);
    m_pacer.Drawn(nNowMs);
}

void CPresenterOverlays::OnFrame() {
    POINT point;
    if ((m_tools.NeedsFrames() || m_pacer.IsPending()) && GetCursorPos(&point)) {
        DrawFollowers(point);
        m_pacer.Drawn(m_clock.Now());
    }
    if (m_tools.NeedsFrames()) {
        m_frameTimer.SetAfter(m_pacer.FrameMs());
    }
}

void CPresenterOverlays::DrawFollowers(POINT point) {
    if (m_tools.IsOn(CPresenterTools::SPOTLIGHT)) {
        DrawSpotlight(point);
    }
    if (m_tools.IsOn(CPresenterTools::LASER_DOT)) {
        DrawDot(point);
    }
    if (m_tools.IsOn(CPresenterTools::MAGNIFIER)) {
        DrawLens(point);
    }
}

void CPresenterOverlays::DrawSpotlight(POINT point) {
    RECT monitor;
    UINT nDpi = 0;
    if (!MonitorAt(point, monitor, nDpi)) {
        return;
    }
    const int nWidth = monitor.right - monitor.left;
    const int nHeight = monitor.bottom - monitor.top;
    const DWORD dwShade = Pixel(RGB(0, 0, 0), SHADE_ALPHA);
    const bool bNewMonitor =
        m_spotlight.hDC == nullptr || !EqualRect(&monitor, &m_spotlightMonitor);
    if (bNewMonitor) {
        if (!MakeSurface(m_spotlight, nWidth, nHeight)) {
            return;
        }
        m_spotlightMonitor = monitor;
        Fill(m_spotlight.pBits, nWidth, RECT{0, 0, nWidth, nHeight}, dwShade);
        SetRectEmpty(&m_spotlightHole);
    }
    // Only the old hole and the new one change.
    Fill(m_spotlight.pBits, nWidth, m_spotlightHole, dwShade);
    const COverlayGeometry geometry = Geometry(monitor, nDpi);
    const COverlayGeometry::Rect box = geometry.SpotlightBox({point.x, point.y});
    const RECT hole = {box.left - monitor.left, box.top - monitor.top, box.right - monitor.left,
                       box.bottom - monitor.top};
    const double dRadius = geometry.SpotlightRadius();
    const double dCentreX = point.x - monitor.left + 0.5;
    const double dCentreY = point.y - monitor.top + 0.5;
    for (int y = hole.top; y < hole.bottom; ++y) {
        DWORD* pRow = m_spotlight.pBits + static_cast<std::ptrdiff_t>(y) * nWidth;
        for (int x = hole.left; x < hole.right; ++x) {
            const double dX = x + 0.5 - dCentreX;
            const double dY = y + 0.5 - dCentreY;
            const double dClear = Coverage(std::sqrt(dX * dX + dY * dY) - dRadius);
            pRow[x] = Pixel(RGB(0, 0, 0), static_cast<BYTE>(SHADE_ALPHA * (1.0 - dClear)));
        }
    }
    RECT dirty;
    UnionRect(&dirty, &m_spotlightHole, &hole);
    m_spotlightHole = hole;
    Update(m_ahWnd[CPresenterTools::SPOTLIGHT], m_spotlight.hDC, monitor, AC_SRC_ALPHA,
           bNewMonitor ? nullptr : &dirty);
}

void CPresenterOverlays::DrawDot(POINT point) {
    RECT monitor;
    UINT nDpi = 0;
    if (!MonitorAt(point, monitor, nDpi)) {
        return;
    }
    const COverlayGeometry::Rect dot = Geometry(monitor, nDpi).Dot({point.x, point.y});
    const HWND hWnd = m_ahWnd[CPresenterTools::LASER_DOT];
    if (nDpi == m_nDotDpi && m_dot.hDC != nullptr) {
        SetWindowPos(hWnd, HWND_TOPMOST, dot.left, dot.top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    if (!MakeSurface(m_dot, dot.Width(), dot.Height())) {
        return;
    }
    m_nDotDpi = nDpi;
    // A bright red disk with a darker rim, seen on white and on dark slides.
    const double dRadius = dot.Width() / 2.0;
    for (int y = 0; y < m_dot.nHeight; ++y) {
        for (int x = 0; x < m_dot.nWidth; ++x) {
            const double dX = x + 0.5 - dRadius;
            const double dY = y + 0.5 - dRadius;
            const double dDistance = std::sqrt(dX * dX + dY * dY);
            const BYTE alpha = static_cast<BYTE>(255 * Coverage(dDistance - dRadius + 0.5));
            const COLORREF colour = dDistance < dRadius * 0.7 ? RGB(255, 0, 0) : RGB(160, 0, 0);
            m_dot.pBits[y * m_dot.nWidth + x] = Pixel(colour, alpha);
        }
    }
    Update(hWnd, m_dot.hDC, RECT{dot.left, dot.top, dot.right, dot.bottom}, AC_SRC_ALPHA, nullptr);
}

void CPresenterOverlays::DrawLens(POINT point) {
    RECT monitor;
    UINT nDpi = 0;
    if (!MonitorAt(point, monitor, nDpi)) {
        return;
    }
    const COverlayGeometry geometry = Geometry(monitor, nDpi);
    const COverlayGeometry::Rect lens = geometry.Lens({point.x, point.y});
    const COverlayGeometry::Rect source = geometry.LensSource({point.x, point.y});
    if (!MakeSurface(m_lens, lens.Width(), lens.Height())) {
        return;
    }
    // The screen as it is now, so a video under the lens keeps moving. The
    // lens lies beside what it enlarges, so it never copies itself.
    const HDC hScreen = GetDC(nullptr);
    SetStretchBltMode(m_lens.hDC, COLORONCOLOR);
    StretchBlt(m_lens.hDC, 0, 0, lens.Width(), lens.Height(), hScreen, source.left, source.top,
               source.Width(), source.Height(), SRCCOPY);
    ReleaseDC(nullptr, hScreen);
    const HBRUSH hFrame = CreateSolidBrush(LENS_FRAME);
    RECT frame = {0, 0, lens.Width(), lens.Height()};
    for (int i = 0; i < geometry.Scaled(LENS_FRAME_WIDTH); ++i) {
        FrameRect(m_lens.hDC, &frame, hFrame);
        InflateRect(&frame, -1, -1);
    }
    DeleteObject(hFrame);
    // GDI leaves the alpha bytes 0, which Wine takes for transparent even
    // without AC_SRC_ALPHA: made opaque by hand.
    GdiFlush();
    const std::size_t nPixels = static_cast<std::size_t>(m_lens.nWidth) * m_lens.nHeight;
    for (std::size_t i = 0; i < nPixels; ++i) {
        m_lens.pBits[i] |= 0xFF000000u;
    }
    Update(m_ahWnd[CPresenterTools::MAGNIFIER], m_lens.hDC,
           RECT{lens.left, lens.top, lens.right, lens.bottom}, AC_SRC_ALPHA, nullptr);
}

void CPresenterOverlays::ShowBlankScreen() {
    const HWND hWnd = m_ahWnd[CPresenterTools::BLANK_SCREEN];
    RECT monitor;
    UINT nDpi = 0;
    if (!MonitorInFront(monitor, nDpi)) {
        return;
    }
    SetLayeredWindowAttributes(hWnd, 0, 255, LWA_ALPHA);
    SetWindowPos(hWnd, HWND_TOPMOST, monitor.left, monitor.top, monitor.right - monitor.left,
                 monitor.bottom - monitor.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(hWnd, nullptr, TRUE);
}

void CPresenterOverlays::StartTimer() {
    const HWND hWnd = m_ahWnd[CPresenterTools::TIMER];
    RECT monitor;
    UINT nDpi = 0;
    if (!MonitorInFront(monitor, nDpi)) {
        return;
    }
    const COverlayGeometry geometry = Geometry(monitor, nDpi);
    if (m_hTimerFont != nullptr) {
        DeleteObject(m_hTimerFont);
    }
    m_hTimerFont = CreateFontW(-geometry.Scaled(TIMER_FONT_HEIGHT), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                               FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
    m_talk = CTalkTimer(m_tools.TimerSeconds());
    m_nTalkStartMs = m_clock.Now();
    const COverlayGeometry::Rect place = geometry.Timer();
    SetLayeredWindowAttributes(hWnd, 0, TIMER_OPACITY, LWA_ALPHA);
    UpdateTimer();
    SetWindowPos(hWnd, HWND_TOPMOST, place.left, place.top, place.Width(), place.Height(),
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CPresenterOverlays::UpdateTimer() {
    const HWND hWnd = m_ahWnd[CPresenterTools::TIMER];
    const std::uint64_t nElapsedMs = m_clock.Now() - m_nTalkStartMs;
    // The window's text is what it shows, for screen readers.
    SetWindowTextA(hWnd, m_talk.Text(nElapsedMs).c_str());
    InvalidateRect(hWnd, nullptr, TRUE);
    m_talkTimer.SetAt(m_nTalkStartMs + m_talk.NextChangeMs(nElapsedMs));
}

void CPresenterOverlays::Paint(HWND hWnd) {
    PAINTSTRUCT paint;
    const HDC hDC = BeginPaint(hWnd, &paint);
    RECT client;
    GetClientRect(hWnd, &client);
    if (hWnd == m_ahWnd[CPresenterTools::BLANK_SCREEN]) {
        FillRect(
            hDC, &client,
            static_cast<HBRUSH>(GetStockObject(m_tools.IsWhite() ? WHITE_BRUSH : BLACK_BRUSH)));
    } else if (hWnd == m_ahWnd[CPresenterTools::TIMER]) {
        const std::uint64_t nElapsedMs = m_clock.Now() - m_nTalkStartMs;
        // Background and text by phase; a flash swaps them.
        static const COLORREF BACKGROUNDS[] = {RGB(32, 32, 32), RGB(240, 170, 0), RGB(230, 90, 0),
                                               RGB(200, 0, 0)};
        static const COLORREF TEXTS[] = {RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255),
                                         RGB(255, 255, 255)};
        const auto nPhase = static_cast<std::size_t>(m_talk.PhaseAt(nElapsedMs));
        const bool bFlash = m_talk.Flashing(nElapsedMs);
        const HBRUSH hBrush = CreateSolidBrush(bFlash ? TEXTS[nPhase] : BACKGROUNDS[nPhase]);
        FillRect(hDC, &client, hBrush);
        DeleteObject(hBrush);
        wchar_t szText[32] = L"";
        const int nLength = GetWindowTextW(hWnd, szText, static_cast<int>(std::size(szText)));
        const HGDIOBJ hOld = SelectObject(hDC, m_hTimerFont);
        SetBkMode(hDC, TRANSPARENT);
        SetTextColor(hDC, bFlash ? BACKGROUNDS[nPhase] : TEXTS[nPhase]);
        DrawTextW(hDC, szText, nLength, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(hDC, hOld);
    }
    EndPaint(hWnd, &paint);
}

LRESULT CALLBACK CPresenterOverlays::WindowProc(HWND hWnd, UINT nMessage, WPARAM wParam,
                                                LPARAM lParam) {
    if (nMessage == WM_NCCREATE) {
        const auto* pCreate = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(pCreate->lpCreateParams));
    }
    auto* pOverlays = reinterpret_cast<CPresenterOverlays*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    switch (nMessage) {
    case WM_NCHITTEST:
        return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        if (pOverlays != nullptr) {
            pOverlays->Paint(hWnd);
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcW(hWnd, nMessage, wParam, lParam);
}
