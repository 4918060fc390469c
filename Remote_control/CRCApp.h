// The application object of KV480: one instance at a time, running the hidden
// main dialog until the program ends.
#pragma once

#include "CWinApp.h"

class CRCApp : public CWinApp {
public:
    CRCApp();

    BOOL InitInstance() override;
};
