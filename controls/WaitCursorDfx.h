// The hourglass while a command works on the window's thread; the cursor comes
// back when the guard goes, also when the command fails.
#pragma once

#include <QApplication>
#include <QCursor>

class TDfxWaitCursor final {
public:
    TDfxWaitCursor() { QApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~TDfxWaitCursor() { QApplication::restoreOverrideCursor(); }
    TDfxWaitCursor(const TDfxWaitCursor&) = delete;
    TDfxWaitCursor& operator=(const TDfxWaitCursor&) = delete;
};
