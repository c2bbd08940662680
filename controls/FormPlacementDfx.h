// A window's placement kept in an INI file, one placement per screen resolution:
// section "MainForm_Positions", keys such as "MainForm_1024x768_Left".
#pragma once

#include <string>

class QWidget;
class TIniFile;

struct TWindowPlacement {
    int Left = 0; // of the normal (restored) rectangle
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int State = 0; // 0 normal, 1 minimized, 2 maximized
    bool operator==(const TWindowPlacement&) const = default;
};

struct TScreenArea {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

std::string DfxPlacementKey(const std::string& name, int screenWidth, int screenHeight,
                            const char* field);
bool DfxReadPlacement(const TIniFile& ini, const std::string& name, int screenWidth,
                      int screenHeight, TWindowPlacement& placement);
void DfxWritePlacement(TIniFile& ini, const std::string& name, int screenWidth, int screenHeight,
                       const TWindowPlacement& placement);
// Moved and shrunk as needed so that the window lies on the screen area, at
// least its minimum size; a minimized window comes back normal.
TWindowPlacement DfxFitPlacement(TWindowPlacement placement, const TScreenArea& area, int minWidth,
                                 int minHeight);

// Restores and stores a window's placement in `iniFile`.
class TFormPlacement final {
public:
    TFormPlacement(std::string iniFile, std::string name);
    // False when nothing is stored for this screen resolution: the window stays as it is.
    bool Restore(QWidget* window) const;
    // False when the file cannot be written.
    bool Save(const QWidget* window) const;

private:
    std::string FIniFile;
    std::string FName;
};
