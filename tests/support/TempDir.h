// A folder of its own for one test, removed with everything in it afterwards.
#pragma once

#include <initializer_list>
#include <map>
#include <string>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Whole-file helpers for test fixtures; they fail the test on error.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
void MakeFolders(const std::string& path);
bool Exists(const std::string& path);
// Lines joined with CR LF, each ended by one, as the program's text files hold them.
std::string CrLfLines(std::initializer_list<const char*> lines);
// Every file and folder below `path`: relative path ("a/b.url") to content, "<folder>"
// for a folder and "<link>" for a symbolic link. Empty when `path` does not exist.
std::map<std::string, std::string> ReadTree(const std::string& path);

} // namespace testsupport
