#include "engine/selection.h"

// Constant-initialised, so they exist before any other static object of the
// program is constructed and outlive all of them.
std::string g_selectedModel;
std::string g_selectedPort;
