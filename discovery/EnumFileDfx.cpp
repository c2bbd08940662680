#include "EnumFileDfx.h"

#include "platform/WinApi.h"
#include "support/FormatDfx.h"

#include <algorithm>
#include <cstring>

namespace {

// A file handle closed on every path.
class TFileHandle final {
public:
    explicit TFileHandle(HANDLE handle) : FHandle(handle) {}
    ~TFileHandle() {
        if (Valid()) {
            CloseHandle(FHandle);
        }
    }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    bool Valid() const { return FHandle != INVALID_HANDLE_VALUE && FHandle != nullptr; }
    HANDLE Get() const { return FHandle; }

private:
    HANDLE FHandle;
};

constexpr DWORD kChunk = 1 << 16;

bool IsIndent(char c) {
    return c == '\t' || c == ' ';
}

} // namespace

std::string DfxReadEnumText(std::string_view bytes, const TDfxEnumNodeSink& add) {
    bytes = bytes.substr(0, bytes.find('\0'));
    bool haveCurrent = false;
    std::size_t current = 0; // level of the node added last
    std::size_t pos = 0;
    const std::size_t size = bytes.size();
    while (pos < size) {
        std::size_t end = pos;
        while (end < size && bytes[end] != '\r' && bytes[end] != '\n') {
            ++end;
        }
        std::size_t indent = pos;
        while (indent < end && IsIndent(bytes[indent])) {
            ++indent;
        }
        std::size_t level = indent - pos;
        std::string_view text = bytes.substr(indent, end - indent);
        if (end < size) {
            end += bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n' ? 2 : 1;
        }
        pos = end;

        if (!haveCurrent) {
            // The first line is a root, however deep it is indented.
            add(0, text);
            haveCurrent = true;
            current = 0;
        } else if (level > current + 1) {
            return DfxFormat("Invalid level (%d) for item \"%s\"", level, text);
        } else {
            // The same level, one deeper, or back up to an ancestor's level.
            add(level, text);
            current = level;
        }
    }
    return {};
}

void DfxAppendEnumLine(std::string& out, std::size_t level, std::string_view text) {
    out.append(level, '\t');
    out.append(text);
    out.append("\r\n");
}

bool DfxReadEnumFile(const std::string& fileName, std::string& bytes, std::string& error) {
    TFileHandle file(CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        error = DfxFormat("Cannot open file %s", fileName);
        return false;
    }
    std::string content;
    for (;;) {
        std::size_t at = content.size();
        content.resize(at + kChunk);
        DWORD read = 0;
        if (!ReadFile(file.Get(), content.data() + at, kChunk, &read, nullptr)) {
            error = "Stream read error";
            return false;
        }
        content.resize(at + read);
        if (read == 0) {
            break;
        }
    }
    bytes = std::move(content);
    return true;
}

bool DfxWriteEnumFile(const std::string& fileName, std::string_view bytes, std::string& error) {
    TFileHandle file(CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        error = DfxFormat("Cannot create file %s", fileName);
        return false;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        auto part = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, part, &written, nullptr) || written == 0) {
            error = "Stream write error";
            return false;
        }
        done += written;
    }
    return true;
}
