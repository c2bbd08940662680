#include "BenchLab.h"

#include "platform/LabTest.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace bench {

BenchLab::BenchLab() {
    std::string pattern = (fs::temp_directory_path() / "quillmark-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot make a temporary folder");
    }
    dir_ = pattern;
    root_ = dir_ + "/lab";
    fs::create_directories(root_ + "/machines");
    fs::create_directories(dir_ + "/config");
    setenv("QUILLMARK_LAB", root_.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (dir_ + "/config").c_str(), 1);
    lab::test::Reset();
}

BenchLab::~BenchLab() {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir_, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (!it->is_symlink()) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        }
    }
    fs::remove_all(dir_, ec);
    lab::test::Reset();
}

void BenchLab::Write(const std::string& relative, const std::string& bytes) const {
    fs::path path = fs::path(root_) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace bench
