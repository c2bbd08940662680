// Runs one test of this test program again in a process of its own, so that a
// test can play both sides of something shared between processes. The child's
// test is a DISABLED_ one, run only this way.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// Starts "this program --gtest_filter=<test>" with `env` added to its environment.
pid_t SpawnTest(const std::string& test,
                const std::vector<std::pair<std::string, std::string>>& env);
// Waits for the child; true when its test passed.
bool ChildPassed(pid_t child);

} // namespace testsupport
