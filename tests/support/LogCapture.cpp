#include "LogCapture.h"

#include "support/LogDFX.h"

namespace testsupport {

LogCapture::LogCapture() : path_(dir_ / "Quillmark.Log"), saved_(DfxLog.FileName()) {
    DfxLog.SetFileName(path_);
}

LogCapture::~LogCapture() {
    DfxLog.SetFileName(saved_);
}

std::string LogCapture::Text() const {
    return Exists(path_) ? ReadFile(path_) : std::string();
}

std::vector<std::string> LogCapture::Lines() const {
    std::string text = Text();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find("\r\n", start)) != std::string::npos; start = at + 2) {
        lines.push_back(text.substr(start, at - start));
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start) + " <no CR LF>");
    }
    return lines;
}

} // namespace testsupport
