// The program's web pages, opened from the About view. One place for all of
// them, so a move of the site is one edit.
#pragma once

namespace AboutLinks {

inline constexpr wchar_t help[] = L"https://zelvara.example/help";
inline constexpr wchar_t homePage[] = L"https://zelvara.example";
inline constexpr wchar_t community[] = L"https://social.example/zelvara";
inline constexpr wchar_t source[] = L"https://code.example/zelvara/zelvara";
inline constexpr wchar_t author[] = L"https://social.example/zelvara-author";

inline constexpr wchar_t homePageCaption[] = L"zelvara.example";
inline constexpr wchar_t communityCaption[] = L"Zelvara players' community";
inline constexpr wchar_t sourceCaption[] = L"Free software: the Zelvara project";
inline constexpr wchar_t authorCaption[] = L"Made by the Zelvara team";

}  // namespace AboutLinks
