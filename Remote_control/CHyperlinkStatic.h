// A static text that works as a link: drawn blue and underlined in its
// parent's font, with a hand cursor over the text itself, and opened with
// the shell when the text is clicked. Only the text's own rectangle at the
// control's top left corner is clickable, not the rest of the control. It is
// a tab stop too: focused, it shows a focus rectangle around its text, and
// Enter or Space opens it.
#pragma once

#include <windows.h>

#include <string>

#include "CStatic.h"

class CHyperlinkStatic : public CStatic {
public:
    CHyperlinkStatic();
    ~CHyperlinkStatic() override;

    // What a click opens. Nothing is redrawn.
    void SetLinkUrl(const std::string& strUrl);
    // What the control draws from its next paint on; the clickable area
    // follows from the next mouse event.
    void SetLinkText(const std::string& strText);

    // pt in client coordinates: on the text as last measured.
    bool HitTest(POINT pt) const;

protected:
    void PreSubclassWindow() override;
    const framework::MessageMap* GetMessageMap() const override;

private:
    LRESULT OnLButtonDown(WPARAM wParam, LPARAM lParam);
    void OnPaint();
    void OnDestroy();
    LRESULT OnMouseMove(WPARAM wParam, LPARAM lParam);
    LRESULT OnMouseLeave(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetDlgCode(WPARAM wParam, LPARAM lParam);
    LRESULT OnKeyDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnFocusChange(WPARAM wParam, LPARAM lParam);

    // Opens the url with the shell; tells the user when it cannot.
    void OpenLink();

    // An underlined copy of the parent's font; none while the parent has none.
    void CreateUnderlineFont();
    // Measures the text in that font unless it is measured already.
    void UpdateTextExtent();
    // The focus rectangle around the text.
    void DrawFocus(HDC hDC);

    std::string m_strText;
    std::string m_strUrl;
    HFONT m_hFont = nullptr;
    int m_nExtentWidth = 0;
    int m_nExtentHeight = 0;
    bool m_bFontCreated = false;
    bool m_bTracking = false;
    bool m_bExtentValid = false;
    HCURSOR m_hHandCursor;
    HCURSOR m_hArrowCursor;
};
