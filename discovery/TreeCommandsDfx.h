// The main window's commands on the machine tree, as functions of what they
// need: "&Open Enum", "Save Enum &As", "&Enumerate LAN" and "&Enumerate LAN via
// &Domain Name". Each shows its own error box and lets nothing escape.
#pragma once

#include "FormClassDfx.h"

#include <functional>
#include <string>

class QWidget;
class TDfxEnumNet;
class TDfxTreeView;
class TMachineEnumByDomainNameForm;

// Puts a text into the main window's hint pane.
using TDfxHintSetter = std::function<void(const std::string& hint)>;

extern const char* const kDfxEnumFileFilter;  // "Enumerate Data|*.dat"
extern const char* const kDfxEnumeratingHint; // "Enumerating LAN for Computers"

// Asks for an enum file (starting beside the executable) and loads it into the tree.
void DfxOpenEnumCommand(QWidget* owner, TDfxTreeView* tree);
// Asks for a file name, confirming before an existing file is replaced, and
// saves the tree there.
void DfxSaveEnumAsCommand(QWidget* owner, const TDfxTreeView* tree);

// Replaces the tree with the whole network.
void DfxEnumerateLanCommand(TDfxEnumNet& enumNet, TDfxTreeView* tree,
                            const TDfxHintSetter& setHint);
// Asks for a domain (starting from the tree's selected node) and replaces the
// tree with its machines; false when the dialog was cancelled.
bool DfxEnumerateLanViaDomainNameCommand(
    TDfxEnumNet& enumNet, QWidget* owner, TDfxTreeView* tree, const TDfxHintSetter& setHint,
    const TDfxFormClass<TMachineEnumByDomainNameForm>& formClass);
