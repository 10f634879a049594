#pragma once
// Reading and rewriting the font of a dialog template in memory, in both
// template formats (DLGTEMPLATE and DLGTEMPLATEEX).

#include <windows.h>

#include <string>
#include <vector>

struct DialogTemplateFont {
    bool present = false;  // DS_SETFONT is set
    WORD pointSize = 0;
    WORD weight = 0;   // extended templates only
    BYTE italic = 0;   // extended templates only
    BYTE charset = 0;  // extended templates only
    std::wstring face;
};

// The font that a template names. Throws std::invalid_argument for a
// template that ends early.
DialogTemplateFont ReadDialogTemplateFont(const std::vector<BYTE>& dialogTemplate);

// A copy of the template that uses face at pointSize. DS_SETFONT is set and
// DS_FIXEDSYS cleared, so the dialog manager takes the face as given; the
// weight, italic flag and character set of an extended template are kept
// (a template without a font gets normal weight and the default character
// set). The controls follow unchanged. Throws std::invalid_argument for a
// template that ends early.
std::vector<BYTE> WithDialogTemplateFont(const std::vector<BYTE>& dialogTemplate, const std::wstring& face,
                                         WORD pointSize);
