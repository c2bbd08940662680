// Points the program's log at a file of the test's own while it lives, and
// reads back the lines written.
#pragma once

#include "TempDir.h"

#include <string>
#include <vector>

namespace testsupport {

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The lines written so far, without their CR LF; none when nothing was logged.
    std::vector<std::string> Lines() const;
    std::string Text() const;

private:
    TempDir dir_;
    std::string path_;
    std::string saved_;
};

} // namespace testsupport
