#include "support/FormatDfx.h"
#include "support/StrUtilsDfx.h"

#include <gtest/gtest.h>

TEST(FormatDfx, PlaceholdersOfTheProgramsTexts) {
    EXPECT_EQ("Unable to open Key: A\\B", DfxFormat("Unable to open Key: %s", "A\\B"));
    EXPECT_EQ("Invalid level (2) for item \"PC1\"",
              DfxFormat("Invalid level (%d) for item \"%s\"", 2, std::string("PC1")));
    EXPECT_EQ("Unable to connect to: PC1\r\nAccess is denied.",
              DfxFormat("Unable to connect to: %s%S%s", "PC1", "\r\n", "Access is denied."));
    EXPECT_EQ("100% 4294967295 ff", DfxFormat("100%% %u %x", 4294967295u, 255));
    EXPECT_EQ("-5 Records", DfxFormat("%d Records", -5));
    EXPECT_EQ("left %s alone", DfxFormat("left %s alone"));
}

TEST(StrUtilsDfx, CaseAndNumbers) {
    EXPECT_TRUE(DfxSameText("Caf\xc9 PC", "caf\xe9 pc"));
    EXPECT_FALSE(DfxSameText("PC1", "PC10"));
    EXPECT_EQ("ABC\xc9", DfxUpperCase("abc\xe9"));
    EXPECT_EQ(std::string::npos, DfxFindText("abc", "abcd"));
    EXPECT_EQ(4u, DfxFindText("C:\\\\%userprofile%", "%USERPROFILE%"));
    EXPECT_EQ("x-x-x", DfxReplaceText("a-A-a", "a", "x"));
    int v = 0;
    EXPECT_TRUE(DfxTryStrToInt(" 5 ", v));
    EXPECT_EQ(5, v);
    EXPECT_FALSE(DfxTryStrToInt("yes", v));
    EXPECT_FALSE(DfxTryStrToInt("99999999999", v));
    EXPECT_TRUE(DfxTryStrToInt("-12", v));
    EXPECT_EQ(-12, v);
}
