#include "engine/RegistryDfx.h"

#include <gtest/gtest.h>

#include <string>

TEST(MachineNames, LeadingBackslashesAndLocalNames) {
    struct Case {
        const char* name;
        const char* included;
        const char* excluded;
    } cases[] = {
        {"", "", ""},
        {"PC1", "\\\\PC1", "PC1"},
        {"\\PC1", "\\\\PC1", "\\PC1"},
        {"\\\\PC1", "\\\\PC1", "PC1"},
        {"\\\\\\PC1", "\\\\\\PC1", "\\PC1"},
        {"\\\\", "\\\\", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.included, IncludeLeadingBackslashes(c.name));
        EXPECT_EQ(c.excluded, ExcludeLeadingBackslashes(c.name));
    }
    std::string dir = GetApplicationDir();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(dir.back() == '/' || dir.back() == '\\');
}
