// Folders of the running Windows, as the system gives them (a trailing
// backslash only on a drive root). The launcher starts programs from them,
// never from the folder it was started in.
#pragma once

#include <string>

std::string SystemFolder();
std::string WindowsFolder();
// The process's current directory (the install folder).
std::string CurrentFolder();
// folder + "\" + name, without doubling a backslash the folder ends with.
std::string JoinFolder(const std::string& folder, const std::string& name);
