// Message formatting in the style the program's texts are written in:
// %s (text), %d and %u (numbers), %x (hexadecimal) and %% (a percent sign).
// "%S" inserts text like "%s".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace dfx_detail {

struct FormatArg {
    enum class Kind { Text, Signed, Unsigned } kind;
    std::string text;
    int64_t signedValue = 0;
    uint64_t unsignedValue = 0;
};

template <class T>
FormatArg MakeArg(const T& value) {
    if constexpr (std::is_convertible_v<const T&, std::string_view>) {
        return {FormatArg::Kind::Text, std::string(std::string_view(value))};
    } else if constexpr (std::is_same_v<T, bool>) {
        return {FormatArg::Kind::Signed, {}, value ? 1 : 0};
    } else if constexpr (std::is_integral_v<T> && std::is_signed_v<T>) {
        return {FormatArg::Kind::Signed, {}, static_cast<int64_t>(value)};
    } else if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
        return {FormatArg::Kind::Unsigned, {}, 0, static_cast<uint64_t>(value)};
    } else {
        static_assert(std::is_integral_v<T>, "DfxFormat takes texts and whole numbers");
    }
}

std::string FormatWith(std::string_view format, const std::vector<FormatArg>& args);

} // namespace dfx_detail

template <class... Args>
std::string DfxFormat(std::string_view format, const Args&... args) {
    return dfx_detail::FormatWith(format, {dfx_detail::MakeArg(args)...});
}
