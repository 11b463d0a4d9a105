#pragma once
// The program's own texts.

namespace pintaro {

inline constexpr wchar_t kTitle[] = L"ぴんたろ";
inline constexpr wchar_t kUnsupportedFormat[] = L"このファイル形式には対応していません。";
// A picture's file that is gone, offline, locked or out of reach just now.
inline constexpr wchar_t kCannotReadNow[] = L"このファイルを今は読み込めません。";
inline constexpr wchar_t kDropHereTip[] = L"ここに写真をドロップ";
// A later start could not hand its command line over.
inline constexpr wchar_t kRunningInstanceDidNotAnswer[] = L"起動中のぴんたろが応答しませんでした。";
// Why a paste opened no window.
inline constexpr wchar_t kPasteNoTempFolder[] = L"貼り付けに失敗しました。一時フォルダーに書き込めません。";
inline constexpr wchar_t kPasteTempPathTooLong[] = L"貼り付けに失敗しました。一時フォルダーのパスが長すぎます。";
inline constexpr wchar_t kPastePictureTooLarge[] = L"貼り付けに失敗しました。クリップボードの画像が大きすぎます。";
inline constexpr wchar_t kPasteClipboardTooSlow[] =
    L"貼り付けに失敗しました。クリップボードの画像を時間内に読み取れませんでした。";
inline constexpr wchar_t kPasteClipboardUnreadable[] =
    L"貼り付けに失敗しました。クリップボードの画像を読み取れませんでした。";
// The transparency presets' menu items, from opaque to the most transparent, in both kinds of menu.
inline constexpr const wchar_t* kOpacityCaptions[] = {L"透過なし", L"1/4 透過", L"1/2 透過", L"3/4 透過"};
// A command line, drop, hand-off or paste went past the limit of open pictures: the two parts around the limit.
inline constexpr wchar_t kPictureLimitBefore[] = L"同時に開ける画像は ";
inline constexpr wchar_t kPictureLimitAfter[] = L" 枚までです。これを超える画像は開きません。";
// Pictures dropped, handed over or pasted while too many wait to open.
inline constexpr wchar_t kTooManyWaitingToOpen[] =
    L"開くのを待っている画像が多すぎます。それらが開き終わってから、もう一度お試しください。";
// A picture too large to hand to the clipboard at its own size.
inline constexpr wchar_t kCopyTooLarge[] = L"画像が大きすぎるため、元のサイズではコピーできません。";

}  // namespace pintaro
