#pragma once
// A snapshot of the lab machine as sorted text lines, so that a test can
// assert exactly what a run removed ("went") and what it left or added
// ("came"):
//
//   reg HKLM\SOFTWARE\Wow6432Node\Orvalis\EnterpriseClient
//   reg HKLM\SOFTWARE\Wow6432Node\Orvalis\EnterpriseClient  [ServerPort] REG_DWORD 0x00001f90
//   reg HKLM\SOFTWARE\Classes\Wow6432Node\Installer  -> \Registry\Machine\Software\Classes\Installer
//   file C:\Program Files (x86)\Orvalis Enterprise\ORV Client\  (a folder)
//   file C:\Program Files (x86)\Orvalis Enterprise\ORV Client\ORVClient.exe  120832 A
//   svc ORVClient  RUNNING
//
// Registry keys are named where they physically are, so both views show:
// the 32-bit view of HKLM\SOFTWARE is HKLM\SOFTWARE\Wow6432Node, its
// Classes is HKLM\SOFTWARE\Classes\Wow6432Node, and a key that both views
// share is a link line that the snapshot does not follow.
//
// Covered: HKLM\SOFTWARE without its Classes (thousands of keys that take
// seconds to read under Wine) but with Classes\Installer and
// Classes\Wow6432Node\Installer; HKLM\SYSTEM\ControlSet002;
// HKLM\SYSTEM\CurrentControlSet\Services; HKEY_USERS; every folder (ending
// in a backslash) and file on C: with its size and attributes (R read-only,
// H hidden, S system, A archive), except Wine's C:\windows (its Installer
// and Temp folders are kept) and the lab's own C:\lab; every Win32 service
// with its state.

#include "RegistryKey.h"

#include <string>
#include <vector>

namespace Lab {

struct Snapshot {
    std::vector<std::wstring> lines;  // sorted
    std::wstring Text() const;        // the lines, each ended by "\r\n"
};

Snapshot TakeSnapshot();
Snapshot ParseSnapshot(const std::wstring& text);

struct SnapshotDiff {
    std::vector<std::wstring> went;  // lines of the first snapshot that the second lacks
    std::vector<std::wstring> came;  // lines of the second that the first lacks
};
SnapshotDiff Diff(const Snapshot& before, const Snapshot& after);

// A prefix is a line's kind and the start of its path:
//   "reg HKLM\SOFTWARE\Wow6432Node\Orvalis", "svc ORVClient",
//   "file C:\Program Files (x86)\Orvalis Enterprise".
// It matches the lines of that path and of everything below it, comparing
// without regard to case: "reg ...\Orvalis" matches "reg ...\Orvalis\X" and
// the values of both, not "reg ...\OrvalisTools".
bool MatchesPrefix(const std::wstring& line, const std::wstring& prefix);
bool MatchesAny(const std::wstring& line, const std::vector<std::wstring>& prefixes);
// The lines that match none of the prefixes: what a test expects to be empty
// when everything that went must lie below the prefixes.
std::vector<std::wstring> LinesOutside(const std::vector<std::wstring>& lines,
                                       const std::vector<std::wstring>& prefixes);
std::vector<std::wstring> LinesWithin(const std::vector<std::wstring>& lines,
                                      const std::vector<std::wstring>& prefixes);
// The lines that the snapshot does not hold: what a test expects to be empty
// when all of them must still be there.
std::vector<std::wstring> MissingLines(const Snapshot& snapshot, const std::vector<std::wstring>& lines);

// Prefix texts for places the lab knows by their view: a 32-bit view key is
// named where it physically is (links followed when the key exists).
std::wstring RegPrefix(const RegKey& key);
std::wstring FilePrefix(const std::wstring& path);
std::wstring ServicePrefix(const std::wstring& name);

}  // namespace Lab
