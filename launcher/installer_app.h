// CInstallerApp: the application object. InitInstance registers the common
// controls and runs the launcher modally; when the launcher closes, the
// process ends.
#pragma once

#include "ui/winapp.h"

class CInstallerApp : public CWinApp {
public:
    BOOL InitInstance() override;
};

extern CInstallerApp g_app;
