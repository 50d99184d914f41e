#pragma once
// Keys typed for real: through the system's input path (SendInput), as a
// user's keyboard delivers them, modifiers and all.
#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <iterator>
#include <vector>

namespace pelmora::uitest {

inline bool IsExtendedKey(WORD key) {
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
        return true;
    default:
        return false;
    }
}

inline INPUT KeyInput(WORD key, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// Presses the keys in order and lets them go in reverse, as a user types a
// chord ({VK_MENU, 'F'} is Alt+F).
inline void Type(std::initializer_list<WORD> chord) {
    std::vector<INPUT> inputs;
    for (const WORD key : chord) {
        inputs.push_back(KeyInput(key, 0));
    }
    for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) {
        inputs.push_back(KeyInput(*key, KEYEVENTF_KEYUP));
    }
    ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)),
              inputs.size());
}

} // namespace pelmora::uitest
