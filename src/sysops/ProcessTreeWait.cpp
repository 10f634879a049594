#include "sysops/ProcessTreeWait.h"

#include "platform/UniqueHandle.h"

#include <tlhelp32.h>

#include <utility>
#include <vector>

using WindowsPlatform::FileHandleTraits;
using WindowsPlatform::UniqueHandle;
using WindowsPlatform::UniqueKernelHandle;

namespace {

constexpr DWORD kLookIntervalMs = 100;
constexpr DWORD kTreeAccess = SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION;

struct Member {
    DWORD id = 0;
    ULONGLONG created = 0;
    UniqueKernelHandle handle;
};

ULONGLONG CreationTime(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<ULONGLONG>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

class ProcessTree {
public:
    explicit ProcessTree(HANDLE root) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), root, GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
            Add(GetProcessId(root), UniqueKernelHandle(copy));
    }

    // Adds the children of known members until a look finds no new one.
    // False when no process list could be taken.
    bool Grow() {
        for (bool added = true; added;) {
            UniqueHandle<FileHandleTraits> snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
            if (!snapshot) return false;
            PROCESSENTRY32W entry{};
            entry.dwSize = sizeof(entry);
            added = false;
            for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
                added |= AddIfChild(entry.th32ProcessID, entry.th32ParentProcessID);
        }
        return true;
    }

    bool AllEnded() const {
        for (const Member& member : members_)
            if (WaitForSingleObject(member.handle.Get(), 0) == WAIT_TIMEOUT) return false;
        return true;
    }

    void TerminateAll(UINT exitCode) const {
        for (const Member& member : members_) TerminateProcess(member.handle.Get(), exitCode);
    }

private:
    const Member* Find(DWORD id) const {
        for (const Member& member : members_)
            if (member.id == id) return &member;
        return nullptr;
    }

    void Add(DWORD id, UniqueKernelHandle handle) {
        Member member;
        member.id = id;
        member.created = CreationTime(handle.Get());
        member.handle = std::move(handle);
        members_.push_back(std::move(member));
    }

    bool AddIfChild(DWORD id, DWORD parentId) {
        const Member* parent = Find(parentId);
        if (parent == nullptr || Find(id) != nullptr) return false;
        UniqueKernelHandle handle(OpenProcess(kTreeAccess, FALSE, id));
        // A process older than the parent only carries a reused parent id.
        if (!handle || CreationTime(handle.Get()) < parent->created) return false;
        Add(id, std::move(handle));
        return true;
    }

    std::vector<Member> members_;
};

}  // namespace

TreeWait WaitForProcessTree(HANDLE process, ULONGLONG deadline, UINT exitCode) {
    ProcessTree tree(process);
    for (;;) {
        if (!tree.Grow()) return TreeWait::Failed;
        // A last look once all have ended finds a child started just before
        // its parent ended; ended processes start nothing more.
        if (tree.AllEnded()) {
            if (!tree.Grow()) return TreeWait::Failed;
            if (tree.AllEnded()) return TreeWait::Ended;
        }
        if (deadline != 0 && GetTickCount64() >= deadline) {
            tree.TerminateAll(exitCode);
            return TreeWait::TimedOut;
        }
        Sleep(kLookIntervalMs);
    }
}
