// The running executable.
#pragma once

#include <string>

// The full path of the running executable; "" when the system cannot tell.
std::string DfxExecutablePath();
