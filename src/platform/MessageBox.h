#pragma once
// Every message box of the program goes through AppMessageBox. Tests install
// a handler in its place so that no test ever waits on a window.

#include <windows.h>

#include <functional>
#include <string>

namespace WindowsPlatform {

// Receives the text, the final box type (icon already added) and the
// caption, and returns the button id the user would have pressed.
using MessageBoxHandler = std::function<int(const std::wstring& text, unsigned type, const std::wstring& caption)>;

// Shows a box with no owner window, captioned with the executable's base
// name. A type without an icon gets the exclamation icon for MB_OK and
// MB_OKCANCEL and the question icon for MB_YESNO and MB_YESNOCANCEL.
int AppMessageBox(const std::wstring& text, unsigned type);

// Shows a box with no owner window, the given caption and exactly the given
// type, as MessageBoxW does.
int CaptionedMessageBox(const std::wstring& text, const std::wstring& caption, unsigned type);

// Shows a box owned by a window (disabled while the box is up), with the
// given caption and exactly the given type.
int OwnedMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption, unsigned type);

// The type AppMessageBox passes on for a requested type.
unsigned MessageBoxTypeWithIcon(unsigned type);

// Replaces the handler; an empty handler restores the real boxes. Returns
// the previous handler.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// Whether the process runs on a window station that someone can see. A
// program a deployment tool starts as SYSTEM runs on one that nobody sees
// (session 0), where a box would wait for ever.
bool WindowStationVisible();

// The executable's file name without folder and extension.
std::wstring ExecutableBaseName();

}  // namespace WindowsPlatform
