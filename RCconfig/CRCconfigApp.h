// The application object of KV480cfg: runs the configuration dialog once.
#pragma once

#include "CWinApp.h"

class CRCconfigApp : public CWinApp {
public:
    CRCconfigApp();

    BOOL InitInstance() override;
};
