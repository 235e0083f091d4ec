#pragma once
// Message boxes. Every box of the program goes through MessageBox. The widget layer
// installs the real Qt box at start-up; tests install a handler that answers and
// records each box. Without either, a box is answered with its safe default: OK for a
// box with one button, No or Cancel otherwise.
#include "platform/wintypes.h"

#include <functional>
#include <string>

class QWidget;

namespace platform {

// Buttons, icons and answers keep the values that the program's callers compare with.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONWARNING = 0x30; // also the exclamation icon
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_DEFBUTTON2 = 0x100; // the second button is the default one
inline constexpr UINT MB_BUTTONMASK = 0xF;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr UINT MB_DEFMASK = 0xF00;

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

struct MessageBoxRequest {
    QWidget* owner = nullptr; // null: the program's main window
    std::wstring text;
    std::wstring caption;
    UINT style = MB_OK;
    bool fromWorkerThread = false; // shown without waiting, answered IDOK to the caller
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Shows a box and returns the button pressed. On the user-interface thread it is
// modal. From any other thread the box is queued to the user-interface thread and
// the call returns IDOK at once: a worker never waits for the user-interface thread.
// A null owner stands for the program's main window.
int MessageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, UINT style);

// The answer of a box nobody shows: OK, or No, or Cancel.
int DefaultAnswer(UINT style);

// Installs the box (the widget layer's real one, or a test's recorder); an empty
// handler leaves boxes answered by DefaultAnswer. Returns the old one.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

} // namespace platform
