#include "GlobalVar.h"

std::string GMachineName;
int32_t GItemIndex = 0;
bool GStatusError = false;
std::string GDefaultFolder;
bool GAbortOnFailure = false;

std::mutex& GRunStateLock() {
    static std::mutex lock;
    return lock;
}
