#pragma once
// The least work any detection must do on a cluttered machine: enumerate
// each place the remover searches once and read each identifying value once
// (Uninstall: DisplayName; Products: ProductName and RemovedProductName;
// UserData of the 64-bit view: InstallProperties\DisplayName), one open of
// each subkey.

namespace Bench {

struct ScanCount {
    unsigned keys = 0;
    unsigned values = 0;   // values read that exist
    unsigned matches = 0;  // values equal to a name nobody uses, so the reads cannot be skipped
};

ScanCount LowerBoundScan();

}  // namespace Bench
