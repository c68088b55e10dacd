#pragma once

#include <string>

// The login name: the environment variable USERNAME, else USER, else LOGNAME; empty when none
// is set.
std::string LoginUserName();

// This computer's host name (gethostname); empty when it cannot be had.
std::string HostName();
