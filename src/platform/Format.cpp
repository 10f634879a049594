#include "platform/Format.h"

#include "platform/Errors.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

struct Token {
    bool placeholder;
    std::string text;  // literal text, or the placeholder's name
};

std::vector<Token> Tokenize(const std::string& text) {
    std::vector<Token> tokens;
    size_t pos = 0;
    while (pos < text.size()) {
        if (text[pos] == '{') {
            const size_t close = text.find('}', pos + 1);
            if (close == std::string::npos) throw BadFormatStringError();
            tokens.push_back({true, text.substr(pos + 1, close - pos - 1)});
            pos = close + 1;
        } else {
            const size_t open = std::min(text.find('{', pos), text.size());
            tokens.push_back({false, text.substr(pos, open - pos)});
            pos = open;
        }
    }
    return tokens;
}

const char* SpecialValue(const std::string& name) {
    static const std::pair<const char*, const char*> specials[] = {
        {"_cbrace", "}"}, {"_cr", "\r"}, {"_crlf", "\r\n"}, {"_lf", "\n"}, {"_obrace", "{"}, {"_tab", "\t"},
    };
    for (const auto& [special, value] : specials)
        if (name == special) return value;
    return nullptr;
}

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

void ValidateName(const std::string& name) {
    if (name.empty()) throw ImproperFormatVariableName();
    if (!std::all_of(name.begin() + 1, name.end(), IsNameCharacter)) throw ImproperFormatVariableName();
    if (name[0] == '_' && SpecialValue(name) == nullptr) throw UndefinedFormatVariable();
}

}  // namespace

std::string Format::Text() const {
    const std::vector<Token> tokens = Tokenize(template_);
    for (const Token& token : tokens)
        if (token.placeholder) ValidateName(token.text);

    // Bind arguments in placeholder order. A name bound more than once
    // renders the byte-wise smallest of its values.
    std::map<std::string, std::string> bound;
    size_t next = 0;
    for (const Token& token : tokens) {
        if (!token.placeholder || token.text[0] == '_') continue;
        if (next == arguments_.size()) throw TooManyFormatArguments();
        const std::string& value = arguments_[next++];
        auto [it, inserted] = bound.emplace(token.text, value);
        if (!inserted && value < it->second) it->second = value;
    }
    if (next != arguments_.size()) throw TooFewFormatArguments();

    std::string out;
    for (const Token& token : tokens) {
        if (!token.placeholder) {
            out += token.text;
        } else if (const char* special = SpecialValue(token.text)) {
            out += special;
        } else {
            const auto it = bound.find(token.text);
            if (it == bound.end()) throw UndefinedFormatVariable();
            out += it->second;
        }
    }
    return out;
}
