// The application object of KV480keys: one editor per user and session; a
// second start brings the first one's window to the front, and an editor
// that cannot open says why.
#pragma once

#include "CWinApp.h"

class CKeysEditorApp : public CWinApp {
public:
    CKeysEditorApp();

    BOOL InitInstance() override;
};
