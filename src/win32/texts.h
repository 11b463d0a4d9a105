#pragma once
// The program's own texts.

namespace pintaro {

inline constexpr wchar_t kTitle[] = L"ぴんたろ";
inline constexpr wchar_t kUnsupportedFormat[] = L"このファイル形式には対応していません。";
inline constexpr wchar_t kDropHereTip[] = L"ここに写真をドロップ";
// A later start could not hand its command line over.
inline constexpr wchar_t kRunningInstanceDidNotAnswer[] = L"起動中のぴんたろが応答しませんでした。";

}  // namespace pintaro
