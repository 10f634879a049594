#pragma once
// Where things are on the lab machine.

#include <string>
#include <vector>

namespace Lab {

std::wstring ProgramFilesX86();   // "C:\Program Files (x86)"
std::wstring ProgramFiles64();    // "C:\Program Files"
std::wstring LocalAppData();      // of the user the tests run as
std::wstring Documents();         // of the user the tests run as
std::wstring SuiteFolder();       // ProgramFilesX86() + "\Orvalis Enterprise"
std::wstring InstallShieldInformation();  // ProgramFilesX86() + "\InstallShield Installation Information"

// The lab's own state, outside every snapshot: "C:\lab".
std::wstring LabStateFolder();

// Lab programs beside the running program (bin\ of the test bench).
std::wstring LabBinary(const std::wstring& fileName);
std::wstring PackagePath(const std::wstring& fileName);  // bin\msi\<file>

// The loaded user hives under HKEY_USERS, without the "_Classes" ones.
std::vector<std::wstring> UserHives();
// The hive of the user the tests run as (HKEY_CURRENT_USER): its SID.
std::wstring CurrentUserHive();

// The response file text that the suite writes for its InstallShield setups.
extern const char kResponseFileText[];
// The response file text that the suite writes for the platform API's
// InstallShield setup: its dialog answers, keyed five times by the product
// code (braces included).
std::string GuidResponseText(const std::wstring& productCode);

}  // namespace Lab
