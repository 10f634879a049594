#pragma once
// Message templates with named placeholders: "Windows Error 0x{err}: {msg}".
// Arguments are taken in the order the placeholders occur; "{_lf}", "{_cr}",
// "{_crlf}", "{_tab}", "{_obrace}" and "{_cbrace}" take none.

#include <string>
#include <vector>

class Format {
public:
    explicit Format(std::string templateText) : template_(std::move(templateText)) {}
    template <class... Args>
    Format(std::string templateText, Args&&... args) : template_(std::move(templateText)) {
        (Arg(std::forward<Args>(args)), ...);
    }

    Format& Arg(std::string value) {
        arguments_.push_back(std::move(value));
        return *this;
    }

    // Renders the template; throws the format errors of Errors.h.
    std::string Text() const;
    operator std::string() const { return Text(); }

private:
    std::string template_;
    std::vector<std::string> arguments_;
};
