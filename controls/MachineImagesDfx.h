// The 16x16 images of the machine tree, the machine queue and the main window,
// drawn here so that they look the same everywhere: 0 a globe (network
// provider), 1 two computers (domain or workgroup), 2 an empty screen frame (a
// machine), 3 the same frame with a red check mark (a machine whose last action
// failed).
#pragma once

#include <QIcon>
#include <QImage>

constexpr int kDfxMachineImageCount = 4;
constexpr int kDfxMachineImageSize = 16;

// The picture at `index`; a null image outside 0..3.
QImage DfxDrawMachineImage(int index);
// The shared icon at `index`, made once per application; a null icon outside 0..3.
QIcon DfxMachineImage(int index);
