#pragma once

#include <string>

// The folder that holds every data file, with a trailing '/': the folder named by the
// environment variable VORN_HOME when it is set, otherwise the folder of the running program.
// Computed once at start and handed to whoever needs it.
std::string ComputeAppFolder();

// The same rule over given inputs: the value of VORN_HOME (null when unset) and the path of the
// running program.
std::string AppFolderFrom(const char* vornHome, const std::string& programPath);
