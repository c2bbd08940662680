// Where the program keeps its settings: one key of the current user's registry,
// and beside the executable the window placement file.
#pragma once

#include <string>

// "\Software\Tarvel Quillmark 1.0\" under HKEY_CURRENT_USER.
extern const char* const DFX_PROGRAM_KEY;
// The section of the user settings under that key.
extern const char* const DFX_SETTINGS_SECTION;
// "HKEY_CURRENT_USER\Software\Tarvel Quillmark 1.0\Settings\", as messages name it.
extern const char* const DFX_SETTINGS_PLACE;

// True when the program has never started for this user; false on any failure.
bool IsFirstRun();
// Marks the first start as done; failures are swallowed.
void MarkFirstRun();
// Whether the tip of the day shows at start; false when that cannot be read.
bool ReadShowTips();
void WriteShowTips(bool show);

// "Settings.ini" beside the executable.
std::string DfxPlacementFile();
