#include "FormPlacementDfx.h"

#include "support/IniFileDfx.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {
const char* const kSection = "MainForm_Positions";

QScreen* ScreenOf(const QWidget* window) {
    QScreen* screen = window != nullptr ? window->screen() : nullptr;
    return screen != nullptr ? screen : QGuiApplication::primaryScreen();
}
} // namespace

std::string DfxPlacementKey(const std::string& name, int screenWidth, int screenHeight,
                            const char* field) {
    return name + "_" + std::to_string(screenWidth) + "x" + std::to_string(screenHeight) + "_" +
           field;
}

bool DfxReadPlacement(const TIniFile& ini, const std::string& name, int screenWidth,
                      int screenHeight, TWindowPlacement& placement) {
    const int missing = -32768;
    auto read = [&](const char* field) {
        return ini.ReadInteger(kSection, DfxPlacementKey(name, screenWidth, screenHeight, field),
                               missing);
    };
    TWindowPlacement p{read("Left"), read("Top"), read("Width"), read("Height"), read("State")};
    if (p.Left == missing || p.Top == missing || p.Width == missing || p.Height == missing) {
        return false;
    }
    p.State = p.State == missing ? 0 : p.State;
    placement = p;
    return true;
}

void DfxWritePlacement(TIniFile& ini, const std::string& name, int screenWidth, int screenHeight,
                       const TWindowPlacement& placement) {
    auto write = [&](const char* field, int value) {
        ini.WriteInteger(kSection, DfxPlacementKey(name, screenWidth, screenHeight, field), value);
    };
    write("Left", placement.Left);
    write("Top", placement.Top);
    write("Width", placement.Width);
    write("Height", placement.Height);
    write("State", placement.State);
}

TWindowPlacement DfxFitPlacement(TWindowPlacement p, const TScreenArea& area, int minWidth,
                                 int minHeight) {
    p.Width = std::clamp(p.Width, minWidth, std::max(minWidth, area.Width));
    p.Height = std::clamp(p.Height, minHeight, std::max(minHeight, area.Height));
    p.Left = std::clamp(p.Left, area.Left, std::max(area.Left, area.Left + area.Width - p.Width));
    p.Top = std::clamp(p.Top, area.Top, std::max(area.Top, area.Top + area.Height - p.Height));
    if (p.State != 2) {
        p.State = 0; // a window that was left minimized opens where it can be seen
    }
    return p;
}

TFormPlacement::TFormPlacement(std::string iniFile, std::string name)
    : FIniFile(std::move(iniFile)), FName(std::move(name)) {}

bool TFormPlacement::Restore(QWidget* window) const {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return false;
    }
    TIniFile ini(FIniFile);
    TWindowPlacement p;
    const QSize size = screen->size();
    if (!DfxReadPlacement(ini, FName, size.width(), size.height(), p)) {
        return false;
    }
    const QRect area = screen->availableGeometry();
    p = DfxFitPlacement(p, {area.x(), area.y(), area.width(), area.height()},
                        window->minimumWidth(), window->minimumHeight());
    window->setGeometry(p.Left, p.Top, p.Width, p.Height);
    if (p.State == 2) {
        window->setWindowState(window->windowState() | Qt::WindowMaximized);
    }
    return true;
}

bool TFormPlacement::Save(const QWidget* window) const {
    const QScreen* screen = ScreenOf(window);
    if (screen == nullptr) {
        return false;
    }
    const QRect normal = window->isMaximized() || window->isMinimized() ? window->normalGeometry()
                                                                        : window->geometry();
    TWindowPlacement p{normal.x(), normal.y(), normal.width(), normal.height(),
                       window->isMaximized()   ? 2
                       : window->isMinimized() ? 1
                                               : 0};
    TIniFile ini(FIniFile);
    const QSize size = screen->size();
    DfxWritePlacement(ini, FName, size.width(), size.height(), p);
    return ini.UpdateFile();
}
