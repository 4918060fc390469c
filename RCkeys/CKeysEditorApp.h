// The application object of KV480keys: one editor per user; a second start
// brings the first one's window to the front.
#pragma once

#include "CWinApp.h"

class CKeysEditorApp : public CWinApp {
public:
    CKeysEditorApp();

    BOOL InitInstance() override;
};
