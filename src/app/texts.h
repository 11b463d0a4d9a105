#pragma once
// The program's own texts.

namespace pintaro {

inline constexpr wchar_t kTitle[] = L"ぴんたろ";
inline constexpr wchar_t kUnsupportedFormat[] = L"このファイル形式には対応していません。";
inline constexpr wchar_t kDropHereTip[] = L"ここに写真をドロップ";

}  // namespace pintaro
