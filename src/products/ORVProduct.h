#pragma once
// One component of the suite: finds itself on the machine, names itself and
// removes itself, writing every step to its log.

#include "log/Log.h"

#include <optional>
#include <string>

class ORVProduct {
public:
    // The log is not owned and must outlive the component. Constructing
    // touches nothing on the machine.
    explicit ORVProduct(Remove::Log& log) : log(log) {}
    virtual ~ORVProduct() = default;
    ORVProduct(const ORVProduct&) = delete;
    ORVProduct& operator=(const ORVProduct&) = delete;

    virtual std::wstring Name() const = 0;
    // The version found by the last Detect; absent before the first.
    virtual std::optional<std::wstring> Version() const = 0;
    // Logged detection: recomputes installed and the findings.
    virtual void Detect() = 0;
    // Logged removal: true when no counted step failed. Whether the
    // component is gone is decided by the Detect that follows.
    virtual bool Remove() = 0;

    // Writes the fixed InstallShield response file; false (after logging the
    // failure) when the file layer fails.
    bool WriteResponseFile(const std::wstring& path);

    bool installed = false;

protected:
    // Creates or overwrites the response file with text, ending the open
    // "Creating install shield response file..." line with "done" or the
    // failure; false after a failure.
    bool WriteResponseText(const std::wstring& path, const std::string& text);

    Remove::Log& log;
};
