#include "engine/RegistryDfx.h"

#include "platform/LabTest.h"
#include "platform/WinApi.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

// The demo network the build puts beside the executables.
class DemoLab : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("QUILLMARK_LAB", (GetApplicationDir() + "lab").c_str(), 1);
        lab::test::Reset();
    }
    void TearDown() override {
        unsetenv("QUILLMARK_LAB");
        lab::test::Reset();
    }
};

TEST_F(DemoLab, EveryFileIsSound) {
    EXPECT_EQ("", lab::test::CheckLab());
}

TEST_F(DemoLab, FilesHaveTheirAttributes) {
    const std::string favorites = "\\\\NW-SALES01\\C$\\Documents and Settings\\jsmith\\Favorites\\";
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_READONLY),
              GetFileAttributesA((favorites + "Bank Online.url").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesA((favorites + "Payroll.url").c_str()));
    EXPECT_EQ(static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY),
              GetFileAttributesA("\\\\NW-ROAM\\C$\\WINDOWS\\system32"));
}
