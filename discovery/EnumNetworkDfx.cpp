#include "EnumNetworkDfx.h"

#include "engine/RegistryDfx.h"
#include "support/ExceptionDfx.h"
#include "support/StrUtilsDfx.h"
#include "support/SysErrorDfx.h"

#include <new>

namespace {

constexpr DWORD kBufferSize = 32000;
constexpr DWORD kEntriesWanted = 1000;
constexpr const char* kWhere = "TDfxEnumNet.InternalEnumerate";
constexpr const char* kWhereOpen = "TDfxEnumNet.InternalEnumerate.WNetOpenEnum";

// An open enumeration, closed on every path.
class TEnumHandle final {
public:
    explicit TEnumHandle(HANDLE handle) : FHandle(handle) {}
    ~TEnumHandle() { WNetCloseEnum(FHandle); }
    TEnumHandle(const TEnumHandle&) = delete;
    TEnumHandle& operator=(const TEnumHandle&) = delete;
    HANDLE Get() const { return FHandle; }

private:
    HANDLE FHandle;
};

const TDfxNetName* FindName(const TDfxNetNames& names, const std::string& name) {
    for (const TDfxNetName& n : names) {
        if (DfxSameText(n.Name, name)) {
            return &n;
        }
    }
    return nullptr;
}

void CopyNames(const TDfxNetName& owner, std::vector<std::string>& list) {
    if (owner.Children) {
        for (const TDfxNetName& n : *owner.Children) {
            list.push_back(n.Name);
        }
    }
}

} // namespace

void TDfxEnumNet::Clear() {
    FProviders.clear();
    FMachineCount = 0;
    FDomainCount = 0;
}

void TDfxEnumNet::Enumerate(uint8_t maxLevel) {
    Clear();
    FMaxLevel = maxLevel;
    InternalEnumerate(0, FProviders, nullptr);
}

void TDfxEnumNet::EnumerateDomain(const std::string& provider, const std::string& domain) {
    Clear();
    FMaxLevel = 2;
    TDfxNetName& p =
        FProviders.emplace_back(TDfxNetName{provider, std::make_unique<TDfxNetNames>()});
    TDfxNetNames& domains = *p.Children;
    domains.push_back(TDfxNetName{domain, nullptr});
    auto machines = std::make_unique<TDfxNetNames>();

    std::string remote = domain;
    std::string providerName = provider;
    NETRESOURCEA parent{};
    parent.dwScope = RESOURCE_GLOBALNET;
    parent.dwType = RESOURCETYPE_ANY;
    parent.dwDisplayType = RESOURCEDISPLAYTYPE_DOMAIN;
    parent.dwUsage = RESOURCEUSAGE_CONTAINER;
    parent.lpRemoteName = remote.data();
    parent.lpProvider = providerName.data();
    if (InternalEnumerate(2, *machines, &parent) == 0) {
        domains.pop_back(); // the provider stays, without a domain
    } else {
        domains.back().Children = std::move(machines);
    }
}

void TDfxEnumNet::Fail(const char* where, const std::string& text) {
    FLastError = text;
    DfxLogErrorFmt("Error in %s = %s", where, FLastError);
}

int TDfxEnumNet::InternalEnumerate(int depth, TDfxNetNames& target, NETRESOURCEA* parent) {
    FLastError = DfxSysErrorMessage(0);
    int result = 0;
    HANDLE raw = nullptr;
    DWORD rc =
        WNetOpenEnumA(RESOURCE_GLOBALNET, RESOURCETYPE_ANY, RESOURCEUSAGE_CONTAINER, parent, &raw);
    if (rc != NO_ERROR) {
        Fail(kWhereOpen, DfxWNetEnumErrorText(rc));
        return 0;
    }
    TEnumHandle handle(raw);
    try {
        // One buffer per open level; the entries below point into it, and the
        // level underneath reads its parent resource from it.
        std::vector<NETRESOURCEA> buffer(kBufferSize / sizeof(NETRESOURCEA) + 1);
        for (;;) {
            DWORD count = kEntriesWanted;
            DWORD size = kBufferSize;
            rc = WNetEnumResourceA(handle.Get(), &count, buffer.data(), &size);
            if (rc == ERROR_NO_MORE_ITEMS) {
                break;
            }
            if ((rc != NO_ERROR && rc != ERROR_MORE_DATA) ||
                (rc == ERROR_MORE_DATA && count == 0)) {
                // An entry too large for the buffer would be offered again forever.
                Fail(kWhere, DfxWNetEnumErrorText(rc));
                break;
            }
            for (DWORD i = 0; i < count && i < buffer.size(); ++i) {
                NETRESOURCEA& entry = buffer[i];
                target.push_back(TDfxNetName{ExcludeLeadingBackslashes(entry.lpRemoteName != nullptr
                                                                           ? entry.lpRemoteName
                                                                           : ""),
                                             nullptr});
                if (depth > FMaxLevel) {
                    return 3; // the caller discards the whole list
                }
                if (depth >= 2) {
                    ++FMachineCount;
                    result = 1;
                    continue;
                }
                auto children = std::make_unique<TDfxNetNames>();
                switch (InternalEnumerate(depth + 1, *children, &entry)) {
                case 0:
                    target.pop_back(); // holds no machines
                    break;
                case 1:
                    if (depth == 1) {
                        ++FDomainCount;
                    }
                    target.back().Children = std::move(children);
                    result = 1;
                    break;
                default:
                    result = 1; // below MaxLevel: kept without children
                    break;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        Fail(kWhere, "Out of memory");
    }
    return result;
}

bool TDfxEnumNet::GetProviders(std::vector<std::string>& list) const {
    list.clear();
    for (const TDfxNetName& p : FProviders) {
        list.push_back(p.Name);
    }
    return true;
}

bool TDfxEnumNet::GetDomains(const std::string& provider, std::vector<std::string>& list) const {
    list.clear();
    const TDfxNetName* p = FMaxLevel == 0 ? nullptr : FindName(FProviders, provider);
    if (p == nullptr) {
        return false;
    }
    CopyNames(*p, list);
    return true;
}

bool TDfxEnumNet::GetMachines(const std::string& provider, const std::string& domain,
                              std::vector<std::string>& list) const {
    list.clear();
    const TDfxNetName* p = FMaxLevel != 2 ? nullptr : FindName(FProviders, provider);
    const TDfxNetName* d = p != nullptr && p->Children ? FindName(*p->Children, domain) : nullptr;
    if (d == nullptr) {
        return false;
    }
    CopyNames(*d, list);
    return true;
}

std::string DfxWNetEnumErrorText(DWORD code) {
    switch (code) {
    case ERROR_INVALID_HANDLE:
        return "The handle specified by the hEnum parameter is not valid.";
    case ERROR_NO_NETWORK:
        return "The network is unavailable.";
    case ERROR_EXTENDED_ERROR: {
        DWORD error = 0;
        char errorText[80] = {};
        char provider[80] = {};
        if (WNetGetLastErrorA(&error, errorText, sizeof errorText, provider, sizeof provider) !=
            NO_ERROR) {
            return "WNetGetLastError failed";
        }
        errorText[sizeof errorText - 1] = '\0';
        provider[sizeof provider - 1] = '\0';
        return DfxFormat("Extended Error: %s from Provider: %s", errorText, provider);
    }
    default:
        return DfxSysErrorMessage(code);
    }
}
