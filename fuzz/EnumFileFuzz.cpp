// The enum file reader against arbitrary bytes: every node it hands over must
// fit the tree (the first a root, none more than one level below the one
// before), no text may hold a line end or a NUL or start with a blank, and
// what was read must come back unchanged when saved and read again.
#include "discovery/EnumFileDfx.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using Nodes = std::vector<std::pair<std::size_t, std::string>>;

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

std::string Read(std::string_view bytes, Nodes& nodes) {
    return DfxReadEnumText(bytes, [&](std::size_t level, std::string_view text) {
        Check(nodes.empty() ? level == 0 : level <= nodes.back().first + 1);
        Check(text.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos);
        Check(text.empty() || (text.front() != '\t' && text.front() != ' '));
        nodes.emplace_back(level, std::string(text));
    });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    Nodes nodes;
    std::string error = Read(bytes, nodes);
    Check(error.empty() || error.rfind("Invalid level (", 0) == 0);

    std::string saved;
    for (const auto& [level, text] : nodes) {
        DfxAppendEnumLine(saved, level, text);
    }
    Nodes again;
    Check(Read(saved, again).empty());
    Check(again == nodes);
    return 0;
}
