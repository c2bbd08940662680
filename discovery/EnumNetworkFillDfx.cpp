// TDfxEnumNet::FillTreeView, kept apart from the walk so that the walk builds
// and is tested without the widgets.
#include "EnumNetworkDfx.h"
#include "TreeViewDfx.h"

#include "controls/QtTextDfx.h"

void TDfxEnumNet::FillTreeView(TDfxTreeView* tree, int providerImage, int domainImage,
                               int machineImage) const {
    // The tree shows each node with the image of its level; the main window
    // passes the same indexes (0, 1, 2), so these need not be stored.
    (void)providerImage;
    (void)domainImage;
    (void)machineImage;
    TDfxTreeUpdateLock lock(tree);
    tree->ClearAll();
    TDfxTreeBuilder builder(tree);
    std::vector<std::string> providers;
    std::vector<std::string> domains;
    std::vector<std::string> machines;
    GetProviders(providers);
    for (const std::string& provider : providers) {
        QTreeWidgetItem* providerNode = builder.Add(nullptr, ToQt(provider));
        GetDomains(provider, domains);
        for (const std::string& domain : domains) {
            QTreeWidgetItem* domainNode = builder.Add(providerNode, ToQt(domain));
            GetMachines(provider, domain, machines);
            for (const std::string& machine : machines) {
                builder.Add(domainNode, ToQt(machine));
            }
        }
    }
}
