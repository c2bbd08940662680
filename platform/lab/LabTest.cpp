#include "../LabTest.h"

#include "LabError.h"
#include "LabModel.h"
#include "LabRegistry.h"
#include "LabState.h"

#include <dirent.h>

#include <vector>

namespace lab {

namespace test {

void Reset() {
    ResetState();
    ResetRegistry();
    ResetModel();
}

std::string CheckLab() {
    try {
        LoadNetwork();
        std::string machines = LabRoot() + "/machines";
        std::vector<std::string> names;
        if (DIR* dir = opendir(machines.c_str())) {
            while (dirent* e = readdir(dir)) {
                std::string name = e->d_name;
                if (name != "." && name != "..") {
                    names.push_back(name);
                }
            }
            closedir(dir);
        }
        for (const std::string& name : names) {
            auto machine = LoadMachine(name);
            if (!machine) {
                continue;
            }
            HiveFile(machine->folder + "/HKLM.reg", "HKEY_LOCAL_MACHINE");
            HiveFile(machine->folder + "/HKU.reg", "HKEY_USERS");
        }
    } catch (const LabError& e) {
        return e.what();
    }
    return {};
}

} // namespace test

} // namespace lab
