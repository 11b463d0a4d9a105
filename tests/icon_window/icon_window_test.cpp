// The icon window in the test process, which carries the program's icon: the pin drawn at each scale
// from the icon's image of that size, its square in a colour key whose red equals its blue (Windows lets
// clicks through keyed pixels only then), and a move to a screen of another scale.
#include "support/app_fixture.h"

namespace pintaro::test {
namespace {

// The window as drawn, a row of text each: '#' where the pin shows, '.' where the key colour is; or the
// icon's own image of that size, '#' where it is opaque (none when it has no image of that size).
std::vector<std::string> Drawn(HWND icon, int size) {
  std::vector<std::string> rows(size, std::string(size, '#'));
  const HDC dc = GetDC(icon);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (GetPixel(dc, x, y) == RGB(255, 0, 255)) rows[y][x] = '.';
  ReleaseDC(icon, dc);
  return rows;
}
std::vector<std::string> IconImage(int size) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const auto directory = static_cast<BYTE*>(LockResource(
      LoadResource(self, FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)))));  // RT_GROUP_ICON
  const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  const auto* image = static_cast<const BITMAPINFOHEADER*>(
      LockResource(LoadResource(self, FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3)))));  // RT_ICON
  if (image->biWidth != size || image->biBitCount != 32) return {};        // none of its own: it would be stretched
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(image + 1);  // the bottom row first
  std::vector<std::string> rows(size, std::string(size, '.'));
  for (int i = 0; i < size * size; ++i)
    if (pixels[i] >> 24) rows[size - 1 - i / size][i % size] = '#';
  return rows;
}

TEST_F(AppTest, ThePinIsDrawnFromItsImageOfEachScaleOnAKeyWhoseRedEqualsItsBlueAndTakesTheSizeOfANewScreen) {
  StartProgram();
  const HWND icon = TheIconWindow()->hwnd();
  COLORREF key = 0;
  DWORD flags = 0;
  EXPECT_TRUE(GetLayeredWindowAttributes(icon, &key, nullptr, &flags) && flags == LWA_COLORKEY);
  EXPECT_EQ(key, RGB(255, 0, 255));
  // Windows suggests a place on the new screen, at its scale.
  for (const auto& [dpi, place] :
       {std::pair{96u, RECT{960, 672, 992, 704}}, {144u, RECT{100, 90, 148, 138}}, {192u, RECT{200, 150, 264, 214}}}) {
    if (dpi != 96) SendMessageW(icon, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&place));
    EXPECT_EQ(RectOf(icon), place);
    UpdateWindow(icon);
    EXPECT_EQ(Drawn(icon, place.right - place.left), IconImage(place.right - place.left)) << dpi;
  }
}

}  // namespace
}  // namespace pintaro::test
