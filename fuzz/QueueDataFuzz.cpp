// Feeds the machine list file reader what a damaged or hostile file may hold.
#include "support/ExceptionDfx.h"
#include "support/ListItemsDfx.h"
#include "support/LogDFX.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static bool once = [] {
        DfxLog.SetFileName("/dev/null"); // every refusal is logged: not to a real file here
        return true;
    }();
    (void)once;
    std::vector<TListItem> items;
    try {
        DfxLoadQueueData(std::string_view(reinterpret_cast<const char*>(data), size), 2, items,
                         false);
        // What loads must save and load again to the same items, with the same
        // number of sub-items per item as the file said (0 or 1 here).
        const int32_t n = items.empty() || items[0].SubItems.empty() ? 0 : 1;
        std::vector<TListItem> again;
        DfxLoadQueueData(DfxSaveQueueData(items, n), 2, again, false);
        if (again != items) {
            __builtin_trap();
        }
    } catch (const EErrorMessageException&) {
        // refused: the expected answer to a bad file
    }
    return 0;
}
