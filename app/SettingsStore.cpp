#include "SettingsStore.h"

#include "engine/RegistryDfx.h"

const char* const DFX_PROGRAM_KEY = "\\Software\\Tarvel Quillmark 1.0\\";
const char* const DFX_SETTINGS_SECTION = "Settings";
const char* const DFX_SETTINGS_PLACE =
    "HKEY_CURRENT_USER\\Software\\Tarvel Quillmark 1.0\\Settings\\";

namespace {
const char* const kFirstTimeRun = "FirstTimeRun";
const char* const kShowTips = "ShowTipsNextTime";
} // namespace

bool IsFirstRun() {
    try {
        TDfxRegistry reg;
        return reg.OpenKeyReadOnly(DFX_PROGRAM_KEY) && !reg.ValueExists(kFirstTimeRun);
    } catch (const std::exception&) {
        return false;
    }
}

void MarkFirstRun() {
    try {
        TDfxRegistry reg;
        if (reg.OpenKey(DFX_PROGRAM_KEY, true)) {
            reg.WriteString(kFirstTimeRun, "1");
        }
    } catch (const std::exception&) {
        // Asked again at the next start: nothing is lost.
    }
}

bool ReadShowTips() {
    try {
        TDfxRegistry reg;
        return reg.OpenKey(DFX_PROGRAM_KEY, false) && reg.ReadInteger(kShowTips) != 0;
    } catch (const std::exception&) {
        return false;
    }
}

void WriteShowTips(bool show) {
    try {
        TDfxRegistry reg;
        if (reg.OpenKey(DFX_PROGRAM_KEY, true)) {
            reg.WriteInteger(kShowTips, show ? 1 : 0);
        }
    } catch (const std::exception&) {
        // The choice is not kept; the tips show as before.
    }
}

std::string DfxPlacementFile() {
    return GetApplicationDir() + "Settings.ini";
}
