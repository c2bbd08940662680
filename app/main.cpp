// Quillmark: backs up, restores, copies and clears the Internet Explorer
// Favorites of the users logged on at the machines of a Windows network.
#include "engine/RegistryDfx.h"

#include <cstdio>

int main() {
    InitLocalMachineName();
    std::printf("Quillmark: this computer is %s\n", LocalMachineName.c_str());
    return 0;
}
