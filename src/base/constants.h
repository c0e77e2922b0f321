// Program-wide constants: one definition each.
#pragma once

inline constexpr wchar_t productName[] = L"Zelvara";
inline constexpr char productVersion[] = "1.0";
inline constexpr char releaseDate[] = "4.11.2014";

inline constexpr wchar_t settingsFileName[] = L"zelvara.cfg";
inline constexpr wchar_t accountsFileName[] = L"accounts.cfg";

inline constexpr wchar_t defaultDateFormat[] = L"dd'.'MM'.'yyyy' '";
inline constexpr wchar_t defaultTimeFormat[] = L"HH'-'mm'-'ss'.'";
inline constexpr wchar_t defaultImageFormat[] = L"jpeg";

inline constexpr int minimumClientWidth = 1000;
inline constexpr int minimumClientHeight = 630;

// WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN
inline constexpr unsigned long mainWindowStyle = 0x16CF0000;

// RGB(12, 34, 13) as a COLORREF: the main window, About view and clicker overlays.
inline constexpr unsigned long backgroundColour = 12 | (34 << 8) | (13 << 16);
