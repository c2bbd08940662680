#include "ChildProcess.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace testsupport {

pid_t SpawnTest(const std::string& test,
                const std::vector<std::pair<std::string, std::string>>& env) {
    std::vector<std::string> args = {"/proc/self/exe", "--gtest_filter=" + test,
                                     "--gtest_also_run_disabled_tests"};
    std::vector<std::string> vars;
    for (char** e = environ; *e != nullptr; ++e) {
        vars.emplace_back(*e);
    }
    for (const auto& [name, value] : env) {
        vars.push_back(name + "=" + value);
    }
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& v : vars) {
        envp.push_back(v.data());
    }
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, argv.data(), envp.data()) != 0) {
        return -1;
    }
    return pid;
}

bool ChildPassed(pid_t child) {
    int status = 0;
    if (child <= 0 || waitpid(child, &status, 0) != child) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace testsupport
