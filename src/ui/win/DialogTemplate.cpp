#include "ui/win/DialogTemplate.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

// Offsets into a template's header. The extended header begins with
// dlgVer 1 and signature 0xFFFF.
struct Layout {
    bool extended;
    size_t styleOffset;
    size_t headerSize;  // up to and including cx, cy
};

// A reader of the WORD stream that follows the fixed header.
class Reader {
public:
    Reader(const std::vector<BYTE>& data, size_t offset) : data_(data), offset_(offset) {}

    size_t Offset() const noexcept { return offset_; }
    WORD Word() {
        Need(2);
        WORD value;
        std::memcpy(&value, data_.data() + offset_, 2);
        offset_ += 2;
        return value;
    }
    BYTE Byte() {
        Need(1);
        return data_[offset_++];
    }
    // A zero-terminated wide string; returns it without the zero.
    std::wstring String() {
        std::wstring text;
        for (WORD c = Word(); c != 0; c = Word()) text.push_back(static_cast<wchar_t>(c));
        return text;
    }
    // A menu or class entry: nothing (0), an ordinal (0xFFFF, n) or a string.
    void SkipStringOrOrdinal() {
        const WORD first = Word();
        if (first == 0xFFFF)
            Word();
        else if (first != 0)
            for (WORD c = Word(); c != 0; c = Word()) {
            }
    }

private:
    void Need(size_t count) const {
        if (offset_ + count > data_.size()) throw std::invalid_argument("dialog template ends early");
    }

    const std::vector<BYTE>& data_;
    size_t offset_;
};

Layout LayoutOf(const std::vector<BYTE>& data) {
    if (data.size() < 18) throw std::invalid_argument("dialog template ends early");
    const bool extended = data[0] == 1 && data[1] == 0 && data[2] == 0xFF && data[3] == 0xFF;
    // Extended: dlgVer, signature, helpID, exStyle, style, cDlgItems, x, y, cx, cy.
    // Plain: style, exStyle, cdit, x, y, cx, cy.
    return extended ? Layout{true, 12, 26} : Layout{false, 0, 18};
}

DWORD StyleOf(const std::vector<BYTE>& data, const Layout& layout) {
    if (data.size() < layout.headerSize) throw std::invalid_argument("dialog template ends early");
    DWORD style;
    std::memcpy(&style, data.data() + layout.styleOffset, sizeof(style));
    return style;
}

// Skips menu, class and title; the reader then stands at the font, if any.
Reader AfterTitle(const std::vector<BYTE>& data, const Layout& layout) {
    Reader reader(data, layout.headerSize);
    reader.SkipStringOrOrdinal();
    reader.SkipStringOrOrdinal();
    reader.String();
    return reader;
}

DialogTemplateFont ReadFont(Reader& reader, const Layout& layout, DWORD style) {
    DialogTemplateFont font;
    if ((style & DS_SETFONT) == 0) return font;
    font.present = true;
    font.pointSize = reader.Word();
    if (layout.extended) {
        font.weight = reader.Word();
        font.italic = reader.Byte();
        font.charset = reader.Byte();
    }
    font.face = reader.String();
    return font;
}

void AppendWord(std::vector<BYTE>& out, WORD value) {
    out.push_back(static_cast<BYTE>(value & 0xFF));
    out.push_back(static_cast<BYTE>(value >> 8));
}

size_t AlignedToDword(size_t offset) {
    return (offset + 3) & ~static_cast<size_t>(3);
}

}  // namespace

DialogTemplateFont ReadDialogTemplateFont(const std::vector<BYTE>& dialogTemplate) {
    const Layout layout = LayoutOf(dialogTemplate);
    const DWORD style = StyleOf(dialogTemplate, layout);
    Reader reader = AfterTitle(dialogTemplate, layout);
    return ReadFont(reader, layout, style);
}

std::vector<BYTE> WithDialogTemplateFont(const std::vector<BYTE>& dialogTemplate, const std::wstring& face,
                                         WORD pointSize) {
    const Layout layout = LayoutOf(dialogTemplate);
    const DWORD style = StyleOf(dialogTemplate, layout);
    Reader reader = AfterTitle(dialogTemplate, layout);
    const size_t fontOffset = reader.Offset();
    const DialogTemplateFont old = ReadFont(reader, layout, style);
    // The first control starts at the next DWORD boundary (or the template
    // simply ends there when it has no controls).
    const size_t itemsOffset = std::min(AlignedToDword(reader.Offset()), dialogTemplate.size());

    std::vector<BYTE> out(dialogTemplate.begin(), dialogTemplate.begin() + fontOffset);
    const DWORD newStyle = (style | DS_SETFONT) & ~static_cast<DWORD>(DS_FIXEDSYS);
    std::memcpy(out.data() + layout.styleOffset, &newStyle, sizeof(newStyle));

    AppendWord(out, pointSize);
    if (layout.extended) {
        AppendWord(out, old.present ? old.weight : static_cast<WORD>(FW_NORMAL));
        out.push_back(old.present ? old.italic : 0);
        out.push_back(old.present ? old.charset : static_cast<BYTE>(DEFAULT_CHARSET));
    }
    for (wchar_t c : face) AppendWord(out, static_cast<WORD>(c));
    AppendWord(out, 0);
    out.resize(AlignedToDword(out.size()), 0);
    out.insert(out.end(), dialogTemplate.begin() + itemsOffset, dialogTemplate.end());
    return out;
}
