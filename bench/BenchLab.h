// A lab in a temporary folder for the benchmark programs.
#pragma once

#include <string>

namespace bench {

class BenchLab {
public:
    BenchLab(); // makes the folder and points QUILLMARK_LAB and XDG_CONFIG_HOME into it
    ~BenchLab();
    BenchLab(const BenchLab&) = delete;
    BenchLab& operator=(const BenchLab&) = delete;

    const std::string& Root() const { return root_; }
    void Write(const std::string& relative, const std::string& bytes) const;

private:
    std::string dir_;
    std::string root_;
};

// The median of per-call times in microseconds, for goals stated as medians.
template <class F>
double MedianMicroseconds(int calls, F&& call);

} // namespace bench

#include "BenchLab.inl"
