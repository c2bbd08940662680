#include "FormatDfx.h"

#include <cstdio>

namespace dfx_detail {

std::string FormatWith(std::string_view format, const std::vector<FormatArg>& args) {
    std::string out;
    out.reserve(format.size() + 32);
    std::size_t next = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        char c = format[i];
        if (c != '%' || i + 1 >= format.size()) {
            out.push_back(c);
            continue;
        }
        char spec = format[++i];
        if (spec == '%') {
            out.push_back('%');
            continue;
        }
        if (next >= args.size()) { // more placeholders than arguments: keep the text as written
            out.push_back('%');
            out.push_back(spec);
            continue;
        }
        const FormatArg& arg = args[next++];
        char buf[32];
        switch (spec) {
        case 's':
        case 'S':
            if (arg.kind == FormatArg::Kind::Text) {
                out += arg.text;
            } else if (arg.kind == FormatArg::Kind::Signed) {
                out += std::to_string(arg.signedValue);
            } else {
                out += std::to_string(arg.unsignedValue);
            }
            break;
        case 'd':
        case 'u':
            if (arg.kind == FormatArg::Kind::Signed) {
                out += std::to_string(arg.signedValue);
            } else if (arg.kind == FormatArg::Kind::Unsigned) {
                out += std::to_string(arg.unsignedValue);
            } else {
                out += arg.text;
            }
            break;
        case 'x':
            std::snprintf(
                buf, sizeof buf, "%llx",
                static_cast<unsigned long long>(arg.kind == FormatArg::Kind::Signed
                                                    ? static_cast<uint64_t>(arg.signedValue)
                                                    : arg.unsignedValue));
            out += buf;
            break;
        default:
            out.push_back('%');
            out.push_back(spec);
            --next;
            break;
        }
    }
    return out;
}

} // namespace dfx_detail
