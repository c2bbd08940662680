// Network enumeration: walks the network's resource hierarchy with the WNet
// enumeration calls and keeps the names of three levels, network providers (0),
// their domains or workgroups (1) and the domains' machines (2).
#pragma once

#include "platform/WinApi.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class TDfxTreeView;

struct TDfxNetName;
using TDfxNetNames = std::vector<TDfxNetName>;

// A name the network reported, in the order reported (duplicates kept), with the
// names found below it; no list when nothing was looked for below it.
struct TDfxNetName {
    std::string Name;
    std::unique_ptr<TDfxNetNames> Children;
};

class TDfxEnumNet final {
public:
    TDfxEnumNet() = default;
    TDfxEnumNet(const TDfxEnumNet&) = delete;
    TDfxEnumNet& operator=(const TDfxEnumNet&) = delete;

    // Forgets every name and sets both counters to 0.
    void Clear();
    // The number of providers.
    int Count() const { return static_cast<int>(FProviders.size()); }

    // The whole network down to `maxLevel` (0 to 2; the program passes 2). Only
    // domains holding a machine and providers holding such a domain are kept.
    void Enumerate(uint8_t maxLevel);
    // The machines of one domain: one provider with at most that one domain.
    void EnumerateDomain(const std::string& provider, const std::string& domain);
    // One level of the walk below `parent` (nullptr: the top of the network) into
    // `target`: 0 nothing kept, 1 something kept, 3 the level lies deeper than
    // MaxLevel. Failures are logged and leave their text in LastError.
    int InternalEnumerate(int depth, TDfxNetNames& target, NETRESOURCEA* parent);

    // These fill the list with copies of the names; look-ups ignore case.
    bool GetProviders(std::vector<std::string>& list) const;
    // False when MaxLevel is 0 or the provider is unknown.
    bool GetDomains(const std::string& provider, std::vector<std::string>& list) const;
    // False unless MaxLevel is 2, or when the provider or the domain is unknown.
    bool GetMachines(const std::string& provider, const std::string& domain,
                     std::vector<std::string>& list) const;

    // Replaces the tree's nodes with the three levels. Defined with the widgets
    // (EnumNetworkFillDfx.cpp), so that the walk itself builds without Qt.
    void FillTreeView(TDfxTreeView* tree, int providerImage, int domainImage,
                      int machineImage) const;

    // The text of the last failure; each step of the walk starts it as the
    // system's text for code 0.
    const std::string& LastError() const { return FLastError; }
    int32_t MachineCount() const { return FMachineCount; }
    int32_t DomainCount() const { return FDomainCount; }
    uint8_t MaxLevel() const { return FMaxLevel; }
    const TDfxNetNames& Providers() const { return FProviders; }

private:
    void Fail(const char* where, const std::string& text);

    // Each entry owns the list below it, so Clear and the destructor free them all.
    TDfxNetNames FProviders;
    int32_t FMachineCount = 0;
    int32_t FDomainCount = 0;
    std::string FLastError;
    uint8_t FMaxLevel = 2;
};

// The text of a WNet enumeration error code.
std::string DfxWNetEnumErrorText(DWORD code);
