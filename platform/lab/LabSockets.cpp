// Windows Sockets 1.1 host-name look-ups, answered from network.json's "hosts".
#include "../WinApi.h"
#include "LabError.h"
#include "LabModel.h"
#include "LabState.h"

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::atomic<int> gStartups{0};

struct HostRecord {
    std::string name;
    in_addr address{};
    char* addresses[2] = {nullptr, nullptr};
    char* aliases[1] = {nullptr};
    hostent entry{};
};
thread_local HostRecord tHost;
thread_local char tDotted[16];

// One part of a dotted address: decimal, octal with a leading 0, or hexadecimal with 0x.
bool ParsePart(const char*& p, uint32_t& value) {
    int base = 10;
    if (*p == '0' && (p[1] == 'x' || p[1] == 'X')) {
        base = 16;
        p += 2;
    } else if (*p == '0') {
        base = 8;
    }
    const char* start = p;
    uint64_t v = 0;
    for (;; ++p) {
        int d = *p >= '0' && *p <= '9'                 ? *p - '0'
                : base == 16 && *p >= 'a' && *p <= 'f' ? *p - 'a' + 10
                : base == 16 && *p >= 'A' && *p <= 'F' ? *p - 'A' + 10
                                                       : -1;
        if (d < 0 || d >= base) {
            break;
        }
        v = v * static_cast<uint64_t>(base) + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFULL) {
            return false;
        }
    }
    value = static_cast<uint32_t>(v);
    return p != start || base == 8;
}

} // namespace

int WINAPI WSAStartup(WORD wVersionRequested, LPWSADATA lpWSAData) {
    if (int fault = lab::WinsockStartupFault()) {
        return fault;
    }
    if (lpWSAData == nullptr) {
        return WSAVERNOTSUPPORTED;
    }
    std::memset(lpWSAData, 0, sizeof *lpWSAData);
    lpWSAData->wVersion = wVersionRequested < MAKEWORD(1, 1) ? wVersionRequested : MAKEWORD(1, 1);
    lpWSAData->wHighVersion = MAKEWORD(2, 2);
    std::snprintf(lpWSAData->szDescription, sizeof lpWSAData->szDescription, "Quillmark lab");
    std::snprintf(lpWSAData->szSystemStatus, sizeof lpWSAData->szSystemStatus, "Running");
    ++gStartups;
    return 0;
}

int WINAPI WSACleanup() {
    if (gStartups.load() <= 0) {
        SetLastError(WSANOTINITIALISED);
        return -1;
    }
    --gStartups;
    return 0;
}

int WINAPI WSAGetLastError() {
    return static_cast<int>(GetLastError());
}

uint32_t WINAPI inet_addr(const char* cp) {
    if (cp == nullptr || *cp == '\0') {
        return INADDR_NONE;
    }
    uint32_t parts[4] = {};
    int n = 0;
    const char* p = cp;
    for (;;) {
        if (n == 4 || !ParsePart(p, parts[n])) {
            return INADDR_NONE;
        }
        ++n;
        if (*p != '.') {
            break;
        }
        ++p;
    }
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    if (*p != '\0') {
        return INADDR_NONE;
    }
    // a, a.b (8.24 bits), a.b.c (8.8.16) or a.b.c.d, as the BSD rules have it.
    uint32_t host = 0;
    switch (n) {
    case 1:
        host = parts[0];
        break;
    case 2:
        if (parts[0] > 255 || parts[1] > 0xFFFFFF) {
            return INADDR_NONE;
        }
        host = (parts[0] << 24) | parts[1];
        break;
    case 3:
        if (parts[0] > 255 || parts[1] > 255 || parts[2] > 0xFFFF) {
            return INADDR_NONE;
        }
        host = (parts[0] << 24) | (parts[1] << 16) | parts[2];
        break;
    default:
        for (int i = 0; i < 4; ++i) {
            if (parts[i] > 255) {
                return INADDR_NONE;
            }
        }
        host = (parts[0] << 24) | (parts[1] << 16) | (parts[2] << 8) | parts[3];
        break;
    }
    // Network order: the first octet in the lowest address byte.
    return ((host >> 24) & 0xFF) | (((host >> 16) & 0xFF) << 8) | (((host >> 8) & 0xFF) << 16) |
           ((host & 0xFF) << 24);
}

char* WINAPI inet_ntoa(in_addr in) {
    std::snprintf(tDotted, sizeof tDotted, "%u.%u.%u.%u", in.S_un.S_un_b.s_b1, in.S_un.S_un_b.s_b2,
                  in.S_un.S_un_b.s_b3, in.S_un.S_un_b.s_b4);
    return tDotted;
}

hostent* WINAPI gethostbyaddr(const char* addr, int len, int type) {
    if (gStartups.load() <= 0) {
        SetLastError(WSANOTINITIALISED);
        return nullptr;
    }
    if (addr == nullptr || len != 4 || type != AF_INET) {
        SetLastError(10047); // WSAEAFNOSUPPORT
        return nullptr;
    }
    uint32_t wanted = 0;
    std::memcpy(&wanted, addr, 4);
    try {
        auto net = lab::LoadNetwork();
        for (const auto& [address, name] : net->hosts) {
            if (address == wanted) {
                tHost.name = name;
                std::memcpy(&tHost.address, addr, 4);
                tHost.addresses[0] = reinterpret_cast<char*>(&tHost.address);
                tHost.entry.h_name = tHost.name.data();
                tHost.entry.h_aliases = tHost.aliases;
                tHost.entry.h_addrtype = AF_INET;
                tHost.entry.h_length = 4;
                tHost.entry.h_addr_list = tHost.addresses;
                return &tHost.entry;
            }
        }
    } catch (const lab::LabError& e) {
        lab::Complain(e.what(), WSANO_DATA);
    }
    SetLastError(WSAHOST_NOT_FOUND);
    return nullptr;
}
