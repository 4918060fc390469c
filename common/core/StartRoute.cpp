#include "StartRoute.h"

StartRoute ChooseStartRoute(bool bCallerElevated, bool bDesktopShellAvailable) {
    return bCallerElevated && bDesktopShellAvailable ? StartRoute::DesktopShell
                                                     : StartRoute::CreateProcess;
}
