#pragma once
// Other vendors' products on a cluttered machine, for the detection
// benchmark: each one has what a per-machine Windows Installer package of a
// 32-bit product leaves in the registry, written straight into the registry:
// an Uninstall entry in the 32-bit view (where the remover looks), a Products
// record with its SourceList, a Features key, an UpgradeCodes key (shared by
// both views) and the UserData install properties in the 64-bit view (where
// Windows Installer keeps them on 64-bit Windows). Product i is "Bench Product i" of "Bench Vendor".

#include <string>

namespace Bench {

// Plants products first .. last - 1 (those already there are rewritten).
void PlantClutter(unsigned first, unsigned last);

// Removes every bench product, whatever their number.
void RemoveClutter();

// The product code of product i: "{B7E0xxxx-...}".
std::wstring ClutterProductCode(unsigned i);

}  // namespace Bench
