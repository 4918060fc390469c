#include "CPresenterOverlays.h"

#include "COverlayGeometry.h"
#include "MonitorChoice.h"
#include "ProgramOf.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

namespace {

using Tool = CPresenterTools::Tool;

const wchar_t* const CLASS_NAMES[CPresenterTools::TOOL_COUNT] = {
    L"KV480Spotlight", L"KV480LaserDot", L"KV480Magnifier", L"KV480BlankScreen", L"KV480Timer"};
const wchar_t* const SHADE_CLASS = L"KV480SpotlightShade";
const wchar_t* const WAKE_CLASS = L"KV480OverlayWake";
// The darkening around the spotlight: dark, yet the slide still shows through.
const BYTE SHADE_ALPHA = 180;
const COLORREF LENS_FRAME = RGB(255, 255, 255);
const int LENS_FRAME_WIDTH = 2;   // at 96 DPI
const int TIMER_FONT_HEIGHT = 34; // at 96 DPI
const BYTE TIMER_OPACITY = 235;

// The monitors and what the monitor rule looks at. The window in front is
// the presenter's; a visible window of another program that covers a monitor
// is a slide show. The desktop's own windows and cloaked ones (another
// virtual desktop) are none.
struct MonitorFacts {
    std::vector<HMONITOR> handles;
    std::vector<std::wstring> devices;
    MonitorChoice::Layout layout;
};

BOOL CALLBACK AddMonitor(HMONITOR hMonitor, HDC, LPRECT, LPARAM lParam) {
    auto& facts = *reinterpret_cast<MonitorFacts*>(lParam);
    MONITORINFOEXW info;
    ZeroMemory(&info, sizeof(info));
    info.cbSize = sizeof(info);
    if (GetMonitorInfoW(hMonitor, &info)) {
        const RECT& area = info.rcMonitor;
        if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) {
            facts.layout.nPrimaryMonitor = static_cast<int>(facts.handles.size());
        }
        facts.handles.push_back(hMonitor);
        facts.devices.push_back(info.szDevice);
        facts.layout.monitors.push_back({area.left, area.top, area.right, area.bottom});
    }
    return TRUE;
}

BOOL CALLBACK AddFullScreenWindow(HWND hWnd, LPARAM lParam) {
    auto& facts = *reinterpret_cast<MonitorFacts*>(lParam);
    DWORD nProcess = 0;
    GetWindowThreadProcessId(hWnd, &nProcess);
    wchar_t szClass[16] = L"";
    GetClassNameW(hWnd, szClass, static_cast<int>(std::size(szClass)));
    RECT area;
    if (!IsWindowVisible(hWnd) || IsIconic(hWnd) || nProcess == GetCurrentProcessId() ||
        IsCloaked(hWnd) || lstrcmpW(szClass, L"Progman") == 0 ||
        lstrcmpW(szClass, L"WorkerW") == 0 || !GetWindowRect(hWnd, &area)) {
        return TRUE;
    }
    for (const MonitorChoice::Rect& monitor : facts.layout.monitors) {
        if (area.left <= monitor.left && area.top <= monitor.top && area.right >= monitor.right &&
            area.bottom >= monitor.bottom) {
            facts.layout.fullScreenWindows.push_back(
                {area.left, area.top, area.right, area.bottom});
            break;
        }
    }
    return TRUE;
}

MonitorFacts ReadMonitors() {
    MonitorFacts facts;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&facts));
    const HWND hFront = GetAncestor(GetForegroundWindow(), GA_ROOT);
    const HMONITOR hFrontMonitor =
        hFront != nullptr ? MonitorFromWindow(hFront, MONITOR_DEFAULTTONULL) : nullptr;
    for (std::size_t i = 0; i < facts.handles.size(); ++i) {
        if (facts.handles[i] == hFrontMonitor) {
            facts.layout.nFrontMonitor = static_cast<int>(i);
        }
    }
    EnumWindows(AddFullScreenWindow, reinterpret_cast<LPARAM>(&facts));
    return facts;
}

COverlayGeometry Geometry(const RECT& monitor, UINT nDpi) {
    return COverlayGeometry({monitor.left, monitor.top, monitor.right, monitor.bottom},
                            static_cast<int>(nDpi));
}

RECT ToRect(const COverlayGeometry::Rect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
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

bool Update(HWND hWnd, HDC hSource, const RECT& place) {
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    POINT position = {place.left, place.top};
    SIZE size = {place.right - place.left, place.bottom - place.top};
    POINT origin = {0, 0};
    return UpdateLayeredWindow(hWnd, nullptr, &position, &size, hSource, &origin, 0, &blend,
                               ULW_ALPHA) != FALSE;
}

// Moved (and shown) without a new picture.
void MoveTo(HWND hWnd, const RECT& place) {
    SetWindowPos(hWnd, nullptr, place.left, place.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

} // namespace

CPresenterOverlays::CPresenterOverlays(CDeadlineClock& clock, IUserNotices& notices)
    : m_clock(clock), m_notices(notices), m_wakeWindow(clock),
      m_waker([this] { m_wakeWindow.Wake(); }), m_talkTimer(clock, [this] { UpdateTimer(); }) {
    for (auto& pWnd : m_apWnd) {
        pWnd = std::make_unique<COverlayWindow>(clock);
    }
    for (auto& pShade : m_apShade) {
        pShade = std::make_unique<COverlayWindow>(clock);
    }
    m_wakeWindow.SetWakeHandler([this] { OnWake(); });
}

CPresenterOverlays::~CPresenterOverlays() {
    AllOff();
    FreeSurface(m_ring);
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

COverlayWindow& CPresenterOverlays::Window(Tool tool) {
    return *m_apWnd[tool];
}

bool CPresenterOverlays::Create(Tool tool) {
    COverlayWindow& window = Window(tool);
    if (!window.Create(CLASS_NAMES[tool], true)) {
        return false;
    }
    if (tool == CPresenterTools::SPOTLIGHT) {
        for (auto& pShade : m_apShade) {
            // Plain black at one opacity: resized, never drawn again.
            if (!pShade->Create(SHADE_CLASS, true,
                                static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)))) {
                return false;
            }
            pShade->SetOpacity(SHADE_ALPHA);
        }
    } else if (tool == CPresenterTools::BLANK_SCREEN) {
        window.SetPainter([this](HDC hDC, const RECT& client) { PaintBlankScreen(hDC, client); });
    } else if (tool == CPresenterTools::TIMER) {
        window.SetPainter([this](HDC hDC, const RECT& client) { PaintTimer(hDC, client); });
    }
    return true;
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
    if (!Create(tool)) {
        return;
    }
    POINT point = {0, 0};
    GetCursorPos(&point);
    switch (tool) {
    case CPresenterTools::SPOTLIGHT:
        SetRectEmpty(&m_ringDrawn);
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
    // In front of the tools shown before; moves keep this order.
    const UINT nFlags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (tool == CPresenterTools::SPOTLIGHT) {
        for (auto& pShade : m_apShade) {
            SetWindowPos(pShade->GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, nFlags);
        }
    }
    SetWindowPos(Window(tool).GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, nFlags | SWP_SHOWWINDOW);
}

void CPresenterOverlays::Hide(Tool tool) {
    Window(tool).Hide();
    if (tool == CPresenterTools::SPOTLIGHT) {
        for (auto& pShade : m_apShade) {
            pShade->Hide();
        }
    } else if (tool == CPresenterTools::TIMER) {
        m_talkTimer.Cancel();
    }
}

void CPresenterOverlays::Follow() {
    if (!m_tools.FollowsPointer()) {
        // The wake under way finds nothing to follow and sets no other.
        m_bPolling = false;
        return;
    }
    if (m_bPolling) {
        return;
    }
    if (!m_wakeWindow.Create(WAKE_CLASS, true)) {
        return;
    }
    m_bPolling = true;
    // The display's refresh rate is read again at the next draw: it may have
    // changed since a tool last followed the pointer. The tool just shown was
    // drawn at the pointer's place.
    m_hPacedMonitor = nullptr;
    m_bRedraw = GetCursorPos(&m_drawn) == FALSE;
    m_waker.WakeAfter(m_pacer.FrameUs());
}

void CPresenterOverlays::OnWake() {
    if (!m_tools.FollowsPointer()) {
        m_bPolling = false;
        return;
    }
    // Polled once a frame rather than hooked: a frame's wait is as fast as the
    // eye, and a missed GetCursorPos only waits for the next frame.
    const std::uint64_t nNowUs = CFrameWaker::NowUs();
    POINT point = m_drawn;
    const bool bRead = GetCursorPos(&point) != FALSE;
    const bool bMoved = bRead && (point.x != m_drawn.x || point.y != m_drawn.y);
    // The lens shows what lies under it, which may move by itself.
    if (bMoved || m_bRedraw || m_tools.NeedsFrames()) {
        const std::uint64_t nDueUs = m_pacer.Moved(nNowUs);
        if (nDueUs > nNowUs) {
            m_waker.WakeAfter(nDueUs - nNowUs);
            return;
        }
        m_bRedraw = false;
        m_drawn = point;
        DrawFollowers(point);
        m_pacer.Drawn(nNowUs);
    }
    m_waker.WakeAfter(m_pacer.FrameUs());
}

void CPresenterOverlays::PointerMoved() {
    POINT point;
    if (m_bPolling && GetCursorPos(&point)) {
        m_drawn = point;
        DrawFollowers(point);
        m_pacer.Drawn(CFrameWaker::NowUs());
    }
}

void CPresenterOverlays::DrawFollowers(POINT point) {
    // Frames at the refresh rate of the display the pointer is on.
    const HMONITOR hMonitor = MonitorFromPoint(point, MONITOR_DEFAULTTONEAREST);
    if (hMonitor != m_hPacedMonitor) {
        m_hPacedMonitor = hMonitor;
        m_pacer.SetFrameUs(CFrameWaker::FrameUsOf(hMonitor));
    }
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
    if (!COverlayWindow::MonitorAt(point, monitor, nDpi)) {
        return;
    }
    const COverlayGeometry geometry = Geometry(monitor, nDpi);
    const RECT box = ToRect(geometry.SpotlightBox({point.x, point.y}));
    // The circle's centre on the ring's surface: the same (and so the same
    // picture) wherever the square is whole; only near an edge is it drawn
    // again, which costs the ring's size.
    const RECT drawn = {point.x - box.left, point.y - box.top, box.right - box.left,
                        box.bottom - box.top};
    const HWND hRing = Window(CPresenterTools::SPOTLIGHT).GetSafeHwnd();
    if (EqualRect(&drawn, &m_ringDrawn) && nDpi == m_nRingDpi) {
        MoveTo(hRing, box);
    } else if (MakeSurface(m_ring, drawn.right, drawn.bottom)) {
        const double dRadius = geometry.SpotlightRadius();
        const double dCentreX = drawn.left + 0.5;
        const double dCentreY = drawn.top + 0.5;
        for (int y = 0; y < m_ring.nHeight; ++y) {
            DWORD* pRow = m_ring.pBits + static_cast<std::ptrdiff_t>(y) * m_ring.nWidth;
            for (int x = 0; x < m_ring.nWidth; ++x) {
                const double dX = x + 0.5 - dCentreX;
                const double dY = y + 0.5 - dCentreY;
                const double dClear = Coverage(std::sqrt(dX * dX + dY * dY) - dRadius);
                pRow[x] = Pixel(RGB(0, 0, 0), static_cast<BYTE>(SHADE_ALPHA * (1.0 - dClear)));
            }
        }
        Update(hRing, m_ring.hDC, box);
        m_ringDrawn = drawn;
        m_nRingDpi = nDpi;
    }
    const auto shades = geometry.SpotlightShades({point.x, point.y});
    for (std::size_t i = 0; i < shades.size(); ++i) {
        const HWND hShade = m_apShade[i]->GetSafeHwnd();
        const COverlayGeometry::Rect& shade = shades[i];
        if (shade.Width() <= 0 || shade.Height() <= 0) {
            ShowWindow(hShade, SW_HIDE);
            continue;
        }
        SetWindowPos(hShade, nullptr, shade.left, shade.top, shade.Width(), shade.Height(),
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    }
}

void CPresenterOverlays::DrawDot(POINT point) {
    RECT monitor;
    UINT nDpi = 0;
    if (!COverlayWindow::MonitorAt(point, monitor, nDpi)) {
        return;
    }
    const RECT dot = ToRect(Geometry(monitor, nDpi).Dot({point.x, point.y}));
    const HWND hWnd = Window(CPresenterTools::LASER_DOT).GetSafeHwnd();
    if (nDpi == m_nDotDpi && m_dot.hDC != nullptr) {
        MoveTo(hWnd, dot);
        return;
    }
    if (!MakeSurface(m_dot, dot.right - dot.left, dot.bottom - dot.top)) {
        return;
    }
    m_nDotDpi = nDpi;
    // A bright red disk with a darker rim, seen on white and on dark slides.
    const double dRadius = m_dot.nWidth / 2.0;
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
    Update(hWnd, m_dot.hDC, dot);
}

void CPresenterOverlays::DrawLens(POINT point) {
    RECT monitor;
    UINT nDpi = 0;
    if (!COverlayWindow::MonitorAt(point, monitor, nDpi)) {
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
    Update(Window(CPresenterTools::MAGNIFIER).GetSafeHwnd(), m_lens.hDC, ToRect(lens));
}

const framework::MessageMap* CPresenterOverlays::GetMessageMap() const {
    using framework::Handler;
    static const framework::MessageMapEntry entries[] = {
        {WM_DISPLAYCHANGE, 0, Handler<&CPresenterOverlays::OnDisplayChange>},
    };
    static const framework::MessageMap map{nullptr, entries, std::size(entries)};
    return &map;
}

bool CPresenterOverlays::ChooseMonitor(Tool tool, RECT& monitor, UINT& nDpi,
                                       std::wstring& strDevice) const {
    const MonitorFacts facts = ReadMonitors();
    const int nNamed = static_cast<int>(m_tools.MonitorOf(tool));
    const int nChosen = tool == CPresenterTools::BLANK_SCREEN
                            ? MonitorChoice::ForBlankScreen(facts.layout, nNamed)
                            : MonitorChoice::ForTimer(facts.layout, nNamed);
    if (nChosen < 0) {
        return false;
    }
    const auto nIndex = static_cast<std::size_t>(nChosen);
    const MonitorChoice::Rect& area = facts.layout.monitors[nIndex];
    strDevice = facts.devices[nIndex];
    return COverlayWindow::MonitorAt(
        POINT{(area.left + area.right) / 2, (area.top + area.bottom) / 2}, monitor, nDpi);
}

void CPresenterOverlays::OnDisplayChange() {
    // Each display's refresh rate is read again at the next frame.
    m_hPacedMonitor = nullptr;
    const MonitorFacts facts = ReadMonitors();
    static const char* const GONE[CPresenterTools::TOOL_COUNT] = {
        "", "", "", "The blank screen was taken away: its monitor is gone.",
        "The talk timer was taken away: its monitor is gone."};
    for (const Tool tool : {CPresenterTools::BLANK_SCREEN, CPresenterTools::TIMER}) {
        if (!m_tools.IsOn(tool)) {
            continue;
        }
        // Never moved onto a screen the user did not mean, the presenter's own
        // above all: a tool whose monitor was unplugged goes.
        if (std::find(facts.devices.begin(), facts.devices.end(), m_astrMonitorOf[tool]) ==
            facts.devices.end()) {
            m_tools.Off(tool);
            Hide(tool);
            m_notices.ShowBalloon("Presenter's tools", GONE[tool]);
        } else if (tool == CPresenterTools::BLANK_SCREEN) {
            ShowBlankScreen();
        } else {
            PlaceTimer();
        }
    }
    // The tools that follow the pointer, at its place on the new layout, at
    // the next frame.
    m_bRedraw = true;
}

void CPresenterOverlays::ShowBlankScreen() {
    COverlayWindow& window = Window(CPresenterTools::BLANK_SCREEN);
    RECT monitor;
    UINT nDpi = 0;
    if (!ChooseMonitor(CPresenterTools::BLANK_SCREEN, monitor, nDpi,
                       m_astrMonitorOf[CPresenterTools::BLANK_SCREEN])) {
        return;
    }
    window.SetOpacity(255);
    window.ShowAt(monitor);
    InvalidateRect(window.GetSafeHwnd(), nullptr, TRUE);
}

void CPresenterOverlays::StartTimer() {
    m_talk = CTalkTimer(m_tools.TimerSeconds());
    m_nTalkStartMs = m_clock.Now();
    Window(CPresenterTools::TIMER).SetOpacity(TIMER_OPACITY);
    UpdateTimer();
    PlaceTimer();
}

void CPresenterOverlays::PlaceTimer() {
    RECT monitor;
    UINT nDpi = 0;
    if (!ChooseMonitor(CPresenterTools::TIMER, monitor, nDpi,
                       m_astrMonitorOf[CPresenterTools::TIMER])) {
        return;
    }
    const COverlayGeometry geometry = Geometry(monitor, nDpi);
    if (m_hTimerFont != nullptr) {
        DeleteObject(m_hTimerFont);
    }
    m_hTimerFont = CreateFontW(-geometry.Scaled(TIMER_FONT_HEIGHT), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                               FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                               CLEARTYPE_QUALITY, DEFAULT_PITCH, L"Segoe UI");
    COverlayWindow& window = Window(CPresenterTools::TIMER);
    window.ShowAt(ToRect(geometry.Timer()));
    InvalidateRect(window.GetSafeHwnd(), nullptr, TRUE);
}

void CPresenterOverlays::UpdateTimer() {
    COverlayWindow& window = Window(CPresenterTools::TIMER);
    const std::uint64_t nElapsedMs = m_clock.Now() - m_nTalkStartMs;
    // The window's text is what it shows, for screen readers.
    const std::string strText = m_talk.Text(nElapsedMs);
    window.SetText(std::wstring(strText.begin(), strText.end()));
    InvalidateRect(window.GetSafeHwnd(), nullptr, TRUE);
    m_talkTimer.SetAt(m_nTalkStartMs + m_talk.NextChangeMs(nElapsedMs));
}

void CPresenterOverlays::PaintBlankScreen(HDC hDC, const RECT& client) {
    FillRect(hDC, &client,
             static_cast<HBRUSH>(GetStockObject(m_tools.IsWhite() ? WHITE_BRUSH : BLACK_BRUSH)));
}

void CPresenterOverlays::PaintTimer(HDC hDC, const RECT& client) {
    const HWND hWnd = Window(CPresenterTools::TIMER).GetSafeHwnd();
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
    RECT area = client;
    DrawTextW(hDC, szText, nLength, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    SelectObject(hDC, hOld);
}
