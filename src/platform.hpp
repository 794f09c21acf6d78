#pragma once
// What the game does differently as a Windows program, all of it: main calls
// prepareProcess() first, and sayWhyItStopped() when the game could not
// start; the start-up gives its window the .exe's icon (showExeIcon).
// Elsewhere they do nothing.
//
// The game is a GUI-subsystem program there, so a double-click opens no
// console window; such a program starts without a console of its own, and
// its console lines would be lost when a terminal starts it. Its three files
// are opened by bare name, so it works in the folder of its .exe, as the
// Debian launcher starts it in its data folder.

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <SFML/System/Err.hpp>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#endif

#include <SFML/Window/WindowHandle.hpp>

namespace platform {

#ifdef _WIN32

namespace detail {

inline bool given(DWORD stream) {
    const HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE;
}

// A redirect (a file or a pipe) arrives as a valid std handle and is kept;
// only the streams that have none are sent to the console of the program that
// started the game, when it has one (cmd.exe, PowerShell). The game writes its
// lines through std::cout and std::cerr, and SFML its own through sf::err(),
// so those are pointed at the console (freopen cannot reopen stdout under
// Wine: its C runtime gives a stream that started without a handle no file
// descriptor).
//
// Started from Explorer there is neither: the lines are kept instead, so that
// a game that cannot start can show why (sayWhyItStopped).
inline std::stringbuf* unreadLines = nullptr;

inline void reachParentConsole() {
    const bool out = given(STD_OUTPUT_HANDLE), err = given(STD_ERROR_HANDLE);
    if (out && err) return;
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (out || err) return;
        // Never deleted, like the console's stream below.
        unreadLines = new std::stringbuf;
        std::cout.rdbuf(unreadLines);
        std::cerr.rdbuf(unreadLines);
        sf::err().rdbuf(unreadLines);
        return;
    }
    // Never deleted: the streams use it until the very end of the process.
    static std::ofstream* const console = new std::ofstream("CONOUT$");
    if (!out) std::cout.rdbuf(console->rdbuf());
    if (!err) {
        std::cerr.rdbuf(console->rdbuf());
        sf::err().rdbuf(console->rdbuf());
    }
}

// The folder of the running .exe, whatever folder it was started from.
inline void workBesideTheExe() {
    std::wstring path(32768, L'\0');  // the longest path Windows has
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0 || length >= path.size()) return;
    const std::size_t slash = path.find_last_of(L"\\/", length);
    if (slash == std::wstring::npos) return;
    // A drive's root keeps its backslash: "C:" alone means that drive's current folder.
    path.resize(slash == 2 && path[1] == L':' ? slash + 1 : slash);
    SetCurrentDirectoryW(path.c_str());
}

}  // namespace detail

inline void prepareProcess() {
    detail::reachParentConsole();
    detail::workBesideTheExe();
}

// The window's icons in the title bar, the taskbar and Alt+Tab: the .exe's
// own (resource 1, the one Explorer shows) at the sizes this system uses for
// small and large icons, so that Windows never scales one. Icons loaded
// shared belong to the system, which frees them with the process.
inline bool showExeIcon(sf::WindowHandle window) {
    const HINSTANCE exe = GetModuleHandleW(nullptr);
    const auto load = [exe](int sizeX, int sizeY) {
        return static_cast<HICON>(
            LoadImageW(exe, MAKEINTRESOURCEW(1), IMAGE_ICON, sizeX, sizeY, LR_SHARED));
    };
    const HICON smallIcon = load(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
    const HICON largeIcon = load(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON));
    if (smallIcon == nullptr || largeIcon == nullptr) return false;
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    return true;
}

// With nowhere to write, the last line the game wrote (the one that says why
// it stopped) in a message box; the caller exits once it is dismissed.
inline void sayWhyItStopped() {
    if (detail::unreadLines == nullptr) return;
    std::istringstream lines(detail::unreadLines->str());
    std::string line, last;
    while (std::getline(lines, line)) {
        if (!line.empty()) last = line;
    }
    if (last.empty()) return;
    std::wstring text(last.size(), L'\0');
    const int length = MultiByteToWideChar(CP_UTF8, 0, last.data(), static_cast<int>(last.size()),
                                           text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    MessageBoxW(nullptr, text.c_str(), L"PLUMWICK", MB_OK | MB_ICONERROR);
}

#else

inline void prepareProcess() {}
// The window shows the icon the game paints instead.
inline bool showExeIcon(sf::WindowHandle) { return false; }
inline void sayWhyItStopped() {}

#endif

}  // namespace platform
