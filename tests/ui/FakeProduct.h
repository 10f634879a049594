#pragma once
// A component whose findings and removal outcome a test sets by hand. It
// touches nothing on the machine; its Detect and Remove write one line each
// to its log and can be told to throw.

#include "products/ORVProduct.h"
#include "platform/Errors.h"

#include <optional>
#include <string>

class FakeProduct : public ORVProduct {
public:
    FakeProduct(Remove::Log& log, std::wstring name, bool isInstalled = false,
                std::optional<std::wstring> version = std::nullopt)
        : ORVProduct(log), name_(std::move(name)), version_(std::move(version)) {
        installed = isInstalled;
        installedAfterDetect = isInstalled;
    }

    std::wstring Name() const override { return name_; }
    std::optional<std::wstring> Version() const override { return version_; }

    void Detect() override {
        ++detectCalls;
        log.Write(L"detect " + name_ + L"\r\n");
        if (throwOnDetect) throw Windows::Error(ERROR_ACCESS_DENIED);
        installed = installedAfterDetect;
    }

    bool Remove() override {
        ++removeCalls;
        log.Write(L"remove " + name_ + L"\r\n");
        if (throwOnRemove) throw ExceptionPL("remove blew up");
        installedAfterDetect = stillInstalledAfterRemove;
        return removeSucceeds;
    }

    // What the next Detect finds.
    bool installedAfterDetect = false;
    // What Remove leaves behind and reports.
    bool stillInstalledAfterRemove = false;
    bool removeSucceeds = true;
    bool throwOnDetect = false;
    bool throwOnRemove = false;

    int detectCalls = 0;
    int removeCalls = 0;

private:
    std::wstring name_;
    std::optional<std::wstring> version_;
};
