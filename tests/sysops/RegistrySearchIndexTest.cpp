// The registry searches under HKEY_LOCAL_MACHINE answer from an index; these
// tests make sure the answers stay exactly those of a fresh read: after the
// program's own deletions, after changes by another process, deep below the
// searched place, and when the place itself goes and comes back. The index's
// counters show whether a search was answered from memory or read again.

#include "sysops/Registry.h"
#include "sysops/RegistrySearchIndex.h"

#include "LabProcess.h"
#include "platform/FaultInjection.h"
#include "support/RecordingLog.h"
#include "support/RegistryFixture.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>

namespace {

using Names = std::vector<std::wstring>;

unsigned Listings() { return CurrentRegistrySearchIndexCounts().listings; }
unsigned Columns() { return CurrentRegistrySearchIndexCounts().columns; }

class RegistrySearchIndexTest : public ::testing::Test {
protected:
    std::wstring Sub(const std::wstring& name) const { return base + L"\\" + name; }
    void Name(const std::wstring& key, const std::wstring& text) {
        registry.SetString(HKEY_LOCAL_MACHINE, Sub(key), L"DisplayName", text);
    }
    Names Find(const std::wstring& text) {
        return FindSubkeysByValue(HKEY_LOCAL_MACHINE, base, L"DisplayName", text);
    }
    // Runs the system's reg.exe on a key below the test's place, in the
    // 32-bit view: a change made by another process.
    void Reg(const wchar_t* verb, const std::wstring& key, const std::wstring& options = L"") {
        const std::wstring command =
            std::wstring(L"reg.exe ") + verb + L" \"HKLM\\" + Sub(key) + L"\" " + options + L" /f /reg:32";
        ASSERT_EQ(Lab::RunAndWait(command), 0u) << std::string(command.begin(), command.end());
    }

    RegistryFixture registry;
    const std::wstring base = L"SOFTWARE\\" + registry.Unique(L"ORVTest Index");
};

TEST_F(RegistrySearchIndexTest, RepeatedSearchesAreAnsweredFromOneReading) {
    Name(L"a", L"Orvalis Agent");
    Name(L"b", L"Orvalis Server");
    Name(L"c", L"Orvalis Agent");
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"c"), L"ProductName", L"Orvalis Relay");
    registry.SetExpandString(HKEY_LOCAL_MACHINE, Sub(L"d"), L"DisplayName", L"Orvalis Agent");

    const unsigned listings = Listings();
    const unsigned columns = Columns();
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a", L"c"}));
    EXPECT_EQ(Find(L"Orvalis Server"), (Names{L"b"}));
    EXPECT_EQ(Find(L"orvalis agent"), Names{});
    EXPECT_EQ(FindSubkeysByValue(HKEY_LOCAL_MACHINE, base, L"ProductName", L"Orvalis Relay"), (Names{L"c"}));
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a", L"c"}));
    // One listing of the place, one reading per value name.
    EXPECT_EQ(Listings(), listings + 1);
    EXPECT_EQ(Columns(), columns + 2);
}

TEST_F(RegistrySearchIndexTest, TheProgramsOwnDeletionIsSeenAtTheNextSearch) {
    Name(L"a", L"Orvalis Agent");
    Name(L"b", L"Orvalis Agent");
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"b") + L"\\deeper", L"x", L"y");
    ASSERT_EQ(Find(L"Orvalis Agent"), (Names{L"a", L"b"}));

    RecordingLog log;
    ASSERT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Sub(L"b"), log));
    const unsigned listings = Listings();
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a"}));
    EXPECT_EQ(Listings(), listings + 1);
}

TEST_F(RegistrySearchIndexTest, ChangesByAnotherProcessAreSeenAtTheNextSearch) {
    Name(L"a", L"Orvalis Agent");
    Name(L"b", L"Orvalis Server");
    ASSERT_EQ(Find(L"Orvalis Agent"), (Names{L"a"}));

    Reg(L"add", L"b", L"/v DisplayName /d \"Orvalis Agent\"");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a", L"b"}));
    Reg(L"add", L"c", L"/v DisplayName /d \"Orvalis Agent\"");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a", L"b", L"c"}));
    Reg(L"delete", L"a", L"/v DisplayName");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"b", L"c"}));
    Reg(L"delete", L"b");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"c"}));
}

TEST_F(RegistrySearchIndexTest, ChangesDeepBelowThePlaceAreSeen) {
    const std::wstring properties = L"InstallProperties";
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"p1\\InstallProperties"), L"DisplayName", L"Orvalis Agent");
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"p2\\InstallProperties"), L"DisplayName", L"Orvalis Server");
    registry.CreateKey(HKEY_LOCAL_MACHINE, Sub(L"p3"));
    const auto find = [&] {
        return FindSubkeysBySubkeyValue(HKEY_LOCAL_MACHINE, base, properties, L"DisplayName", L"Orvalis Agent");
    };
    ASSERT_EQ(find(), (Names{L"p1"}));

    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"p2\\InstallProperties"), L"DisplayName", L"Orvalis Agent");
    EXPECT_EQ(find(), (Names{L"p1", L"p2"}));
    Reg(L"add", L"p3\\InstallProperties", L"/v DisplayName /d \"Orvalis Agent\"");
    EXPECT_EQ(find(), (Names{L"p1", L"p2", L"p3"}));
    // A value that becomes empty (zero bytes) no longer matches.
    registry.SetRaw(HKEY_LOCAL_MACHINE, Sub(L"p1\\InstallProperties"), L"DisplayName", REG_SZ, L"", 0);
    EXPECT_EQ(find(), (Names{L"p2", L"p3"}));
}

TEST_F(RegistrySearchIndexTest, APlaceThatGoesAndComesBackIsReadAgain) {
    EXPECT_EQ(Find(L"Orvalis Agent"), Names{});  // not there yet
    Name(L"a", L"Orvalis Agent");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a"}));

    RecordingLog log;
    ASSERT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base, log));
    EXPECT_EQ(Find(L"Orvalis Agent"), Names{});
    Name(L"b", L"Orvalis Agent");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"b"}));
    Name(L"c", L"Orvalis Agent");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"b", L"c"}));
}

TEST_F(RegistrySearchIndexTest, SubkeyNamesComeFromOneListingUntilTheyChange) {
    Name(L"a", L"Orvalis Agent");
    Name(L"b", L"Orvalis Server");
    ASSERT_EQ(IndexedSubkeyNames(HKEY_LOCAL_MACHINE, base), (std::optional<Names>{{L"a", L"b"}}));
    const unsigned listings = Listings();
    EXPECT_EQ(IndexedSubkeyNames(HKEY_LOCAL_MACHINE, base), (std::optional<Names>{{L"a", L"b"}}));
    EXPECT_EQ(Listings(), listings);
    Name(L"c", L"Orvalis Relay");
    EXPECT_EQ(IndexedSubkeyNames(HKEY_LOCAL_MACHINE, base), (std::optional<Names>{{L"a", L"b", L"c"}}));
    EXPECT_EQ(IndexedSubkeyNames(HKEY_LOCAL_MACHINE, base), EnumerateSubkeys(HKEY_LOCAL_MACHINE, base));
    // Another root is not indexed; a missing place has no names.
    EXPECT_EQ(IndexedSubkeyNames(HKEY_USERS, L".Default"), std::nullopt);
    EXPECT_EQ(IndexedSubkeyNames(HKEY_LOCAL_MACHINE, Sub(L"missing")), (std::optional<Names>{Names{}}));
}

TEST_F(RegistrySearchIndexTest, AnEmptyPlaceDeletedAndMadeAnewUnseenIsReadAgain) {
    Name(L"a", L"Orvalis Agent");
    RecordingLog log;
    ASSERT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Sub(L"a"), log));
    EXPECT_EQ(Find(L"Orvalis Agent"), Names{});  // listed empty and watched
    // The empty place goes with nothing below it (Wine signals no change to
    // its watchers then) and comes back, with no search in between.
    ASSERT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, base, log));
    Name(L"b", L"Orvalis Agent");
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"b"}));
}

TEST_F(RegistrySearchIndexTest, IndexedAndFreshSearchesAgreeOnAwkwardValues) {
    Name(L"exact", L"Orvalis Agent");
    Name(L"case", L"orvalis agent");
    registry.SetExpandString(HKEY_LOCAL_MACHINE, Sub(L"expand"), L"DisplayName", L"Orvalis Agent");
    registry.SetRaw(HKEY_LOCAL_MACHINE, Sub(L"zero"), L"DisplayName", REG_SZ, L"", 0);
    registry.SetRaw(HKEY_LOCAL_MACHINE, Sub(L"embedded"), L"DisplayName", REG_SZ, L"Orvalis Agent\0x", 30);
    registry.SetRaw(HKEY_LOCAL_MACHINE, Sub(L"unterminated"), L"DisplayName", REG_SZ, L"Orvalis Agent", 26);
    registry.SetRaw(HKEY_LOCAL_MACHINE, Sub(L"odd"), L"DisplayName", REG_SZ, L"Orvalis Agent", 27);
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"long"), L"DisplayName", std::wstring(3000, L'o'));
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"empty"), L"DisplayName", L"");
    registry.CreateKey(HKEY_LOCAL_MACHINE, Sub(L"none"));

    // Searches below an open key (not a predefined root) read afresh.
    HKEY software = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE", 0, KEY_READ | KEY_WOW64_32KEY, &software), ERROR_SUCCESS);
    const std::wstring relative = base.substr(std::wstring(L"SOFTWARE\\").size());
    for (const std::wstring& text : {std::wstring(L"Orvalis Agent"), std::wstring(3000, L'o'), std::wstring()}) {
        const Names fresh = FindSubkeysByValue(software, relative, L"DisplayName", text);
        EXPECT_EQ(Find(text), fresh);
        EXPECT_FALSE(fresh.empty());
    }
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"embedded", L"exact", L"odd", L"unterminated"}));
    EXPECT_EQ(FindSubkeysWithStringValue(HKEY_LOCAL_MACHINE, base, L"DisplayName"),
              FindSubkeysWithStringValue(software, relative, L"DisplayName"));
    RegCloseKey(software);
}

TEST_F(RegistrySearchIndexTest, AListingCutShortIsNotKept) {
    Name(L"a", L"Orvalis Agent");
    Name(L"b", L"Orvalis Agent");
    {
        // Wine cannot make an enumeration fail half way.
        WindowsPlatform::ScopedFault enumeration("RegEnumKeyExW", ERROR_ACCESS_DENIED, 1);
        EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a"}));
    }
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a", L"b"}));
}

TEST_F(RegistrySearchIndexTest, StringValuePresenceFollowsReadStringValue) {
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"text"), L"C3B2A1E6", L"");  // NUL only: an empty text
    registry.SetRaw(HKEY_LOCAL_MACHINE, Sub(L"zero"), L"C3B2A1E6", REG_SZ, L"", 0);
    registry.SetExpandString(HKEY_LOCAL_MACHINE, Sub(L"expand"), L"C3B2A1E6", L"x");
    registry.SetDword(HKEY_LOCAL_MACHINE, Sub(L"number"), L"C3B2A1E6", 1);
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"other"), L"C3B2A1E7", L"x");
    registry.SetString(HKEY_LOCAL_MACHINE, Sub(L"upper"), L"c3b2a1e6", L"x");  // names ignore case

    EXPECT_EQ(FindSubkeysWithStringValue(HKEY_LOCAL_MACHINE, base, L"C3B2A1E6"), (Names{L"text", L"upper"}));
    RecordingLog log;
    ASSERT_TRUE(DeleteRegistryKey(HKEY_LOCAL_MACHINE, Sub(L"text"), log));
    EXPECT_EQ(FindSubkeysWithStringValue(HKEY_LOCAL_MACHINE, base, L"C3B2A1E6"), (Names{L"upper"}));
}

TEST_F(RegistrySearchIndexTest, AChangeMadeOnAnotherThreadIsSeen) {
    Name(L"a", L"Orvalis Agent");
    Names before, after;
    std::thread([&] { before = Find(L"Orvalis Agent"); }).join();
    Name(L"b", L"Orvalis Agent");
    std::thread([&] { after = Find(L"Orvalis Agent"); }).join();
    EXPECT_EQ(before, (Names{L"a"}));
    EXPECT_EQ(after, (Names{L"a", L"b"}));
    EXPECT_EQ(Find(L"Orvalis Agent"), (Names{L"a", L"b"}));
}

// The real places of the machine, whatever they hold (the lab's bystanders,
// Wine's own entries): every name found in them is searched, and the answer
// must be what a plain enumeration and read of the same values gives.
std::map<std::wstring, Names> ReadByHand(const std::wstring& place, const std::wstring& subPath,
                                         const wchar_t* valueName) {
    std::map<std::wstring, Names> byText;
    HKEY parent = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, place.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &parent) != ERROR_SUCCESS)
        return byText;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(parent, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::wstring path = subPath.empty() ? std::wstring(name) : std::wstring(name) + L"\\" + subPath;
        HKEY key = nullptr;
        if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) continue;
        wchar_t text[1024] = L"";  // all zeros: the text ends at the first NUL
        DWORD bytes = sizeof text - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status = RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes);
        RegCloseKey(key);
        if (status == ERROR_SUCCESS && type == REG_SZ && bytes > 0) byText[text].push_back(name);
    }
    RegCloseKey(parent);
    return byText;
}

TEST(RegistrySearchIndexMachineTest, AnswersOnTheMachinesOwnPlacesMatchAPlainRead) {
    const struct {
        const wchar_t* place;
        const wchar_t* subPath;
        const wchar_t* valueName;
    } places[] = {
        {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall", L"", L"DisplayName"},
        {L"SOFTWARE\\Classes\\Installer\\Products", L"", L"ProductName"},
        {L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products",
         L"InstallProperties", L"DisplayName"},
    };
    for (const auto& place : places) {
        const auto expected = ReadByHand(place.place, place.subPath, place.valueName);
        for (int round = 0; round < 2; ++round) {
            for (const auto& [text, names] : expected) {
                const Names found =
                    *place.subPath == L'\0'
                        ? FindSubkeysByValue(HKEY_LOCAL_MACHINE, place.place, place.valueName, text)
                        : FindSubkeysBySubkeyValue(HKEY_LOCAL_MACHINE, place.place, place.subPath, place.valueName,
                                                   text);
                EXPECT_EQ(found, names) << std::string(text.begin(), text.end());
            }
        }
    }
}

}  // namespace
