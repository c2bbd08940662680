#include "TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir() {
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() / ("quillmark-test-" + std::to_string(random()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate.generic_string();
            return;
        }
    }
    ADD_FAILURE() << "cannot make a temporary folder";
}

TempDir::~TempDir() {
    std::error_code ec;
    // Read-only files and folders are made writable first, so that all of it goes.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_symlink()) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(path_, ec);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    MakeFolders(fs::path(path).parent_path().string());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << "cannot write " << path;
}

void MakeFolders(const std::string& path) {
    std::error_code ec;
    fs::create_directories(path, ec);
    EXPECT_FALSE(ec) << "cannot make " << path << ": " << ec.message();
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(path, ec));
}

} // namespace testsupport

namespace testsupport {

std::string CrLfLines(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* line : lines) {
        out += line;
        out += "\r\n";
    }
    return out;
}

std::map<std::string, std::string> ReadTree(const std::string& path) {
    std::map<std::string, std::string> tree;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(path, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        std::string relative = fs::relative(it->path(), path).generic_string();
        if (it->is_symlink()) {
            tree[relative] = "<link>";
            it.disable_recursion_pending();
        } else if (it->is_directory()) {
            tree[relative] = "<folder>";
        } else {
            tree[relative] = ReadFile(it->path().string());
        }
    }
    return tree;
}

} // namespace testsupport
