// The model and port chosen in the wizard. Written by the wizard's final Next
// before the install starts, read by the install engine on its worker thread.
#pragma once

#include <string>

extern std::string g_selectedModel;
extern std::string g_selectedPort;
