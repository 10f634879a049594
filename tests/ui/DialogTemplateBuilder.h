#pragma once
// Builds dialog templates in memory (DLGTEMPLATEEX, or the plain format),
// so a test makes the dialog it needs without a resource.

#include <windows.h>

#include <string>
#include <vector>

class DialogTemplateBuilder {
public:
    DialogTemplateBuilder(DWORD style, short cx, short cy, std::wstring title, bool extended = true)
        : style_(style), cx_(cx), cy_(cy), title_(std::move(title)), extended_(extended) {}

    DialogTemplateBuilder& Font(WORD pointSize, std::wstring face) {
        style_ |= DS_SETFONT;
        pointSize_ = pointSize;
        face_ = std::move(face);
        return *this;
    }
    // classAtom: 0x0080 button, 0x0081 edit, 0x0082 static, 0x0083 list
    // box, 0x0084 scroll bar, 0x0085 combo box; or give className.
    DialogTemplateBuilder& Control(WORD classAtom, std::wstring text, WORD id, DWORD style, short x, short y, short cx,
                                   short cy) {
        items_.push_back({classAtom, L"", std::move(text), id, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy});
        return *this;
    }
    DialogTemplateBuilder& Control(std::wstring className, std::wstring text, WORD id, DWORD style, short x, short y,
                                   short cx, short cy) {
        items_.push_back({0, std::move(className), std::move(text), id, style | WS_CHILD | WS_VISIBLE, x, y, cx, cy});
        return *this;
    }

    std::vector<BYTE> Build() const {
        std::vector<BYTE> out;
        if (extended_) {
            Word(out, 1);
            Word(out, 0xFFFF);
            Dword(out, 0);  // help id
            Dword(out, 0);  // extended style
            Dword(out, style_);
        } else {
            Dword(out, style_);
            Dword(out, 0);
        }
        Word(out, static_cast<WORD>(items_.size()));
        Word(out, 0);
        Word(out, 0);
        Word(out, static_cast<WORD>(cx_));
        Word(out, static_cast<WORD>(cy_));
        Word(out, 0);  // no menu
        Word(out, 0);  // default class
        String(out, title_);
        if (style_ & DS_SETFONT) {
            Word(out, pointSize_);
            if (extended_) {
                Word(out, FW_NORMAL);
                out.push_back(0);
                out.push_back(DEFAULT_CHARSET);
            }
            String(out, face_);
        }
        for (const Item& item : items_) {
            Align(out);
            if (extended_) {
                Dword(out, 0);  // help id
                Dword(out, 0);  // extended style
                Dword(out, item.style);
            } else {
                Dword(out, item.style);
                Dword(out, 0);
            }
            Word(out, static_cast<WORD>(item.x));
            Word(out, static_cast<WORD>(item.y));
            Word(out, static_cast<WORD>(item.cx));
            Word(out, static_cast<WORD>(item.cy));
            if (extended_)
                Dword(out, item.id);
            else
                Word(out, item.id);
            if (item.classAtom != 0) {
                Word(out, 0xFFFF);
                Word(out, item.classAtom);
            } else {
                String(out, item.className);
            }
            String(out, item.text);
            Word(out, 0);  // no creation data
        }
        return out;
    }

private:
    struct Item {
        WORD classAtom;
        std::wstring className;
        std::wstring text;
        WORD id;
        DWORD style;
        short x, y, cx, cy;
    };

    static void Word(std::vector<BYTE>& out, WORD value) {
        out.push_back(static_cast<BYTE>(value & 0xFF));
        out.push_back(static_cast<BYTE>(value >> 8));
    }
    static void Dword(std::vector<BYTE>& out, DWORD value) {
        Word(out, static_cast<WORD>(value & 0xFFFF));
        Word(out, static_cast<WORD>(value >> 16));
    }
    static void String(std::vector<BYTE>& out, const std::wstring& text) {
        for (wchar_t c : text) Word(out, static_cast<WORD>(c));
        Word(out, 0);
    }
    static void Align(std::vector<BYTE>& out) {
        while (out.size() % 4 != 0) out.push_back(0);
    }

    DWORD style_;
    short cx_, cy_;
    std::wstring title_;
    bool extended_;
    WORD pointSize_ = 0;
    std::wstring face_;
    std::vector<Item> items_;
};
