#pragma once

#include <string>

// The game speaks UTF-8; Windows' wide API speaks UTF-16. Text crosses here,
// at the edge of the front end, and nowhere else.
namespace win32ui {

// Bytes that are no UTF-8 become U+FFFD: a caption is never cut short.
std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

} // namespace win32ui
