// The icon window in the test process, which carries the program's icon: the pin drawn at each scale
// from the icon's image of that size, its square in a colour key whose red equals its blue (Windows lets
// clicks through keyed pixels only then), and a move to a screen of another scale.
#include "support/app_fixture.h"

namespace pintaro::test {
namespace {

// The window as drawn, a row of text each: '#' where the pin shows, '.' where the key colour is; or the
// icon's image of that size, '#' where it is opaque.
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
  const auto icon =
      static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
  ICONINFO info{};
  GetIconInfo(icon, &info);
  std::vector<std::uint32_t> pixels(size * size);
  BITMAPINFO format{{sizeof(BITMAPINFOHEADER), size, -size, 1, 32}};
  const HDC dc = GetDC(nullptr);
  GetDIBits(dc, info.hbmColor, 0, size, pixels.data(), &format, DIB_RGB_COLORS);
  ReleaseDC(nullptr, dc);
  std::vector<std::string> rows(size, std::string(size, '.'));
  for (int i = 0; i < size * size; ++i)
    if (pixels[i] >> 24) rows[i / size][i % size] = '#';
  DeleteObject(info.hbmColor), DeleteObject(info.hbmMask), DestroyIcon(icon);
  return rows;
}

// The width of the icon's image that Windows takes for the size.
LONG ImageWidthFor(int size) {
  const HMODULE self = GetModuleHandleW(nullptr);
  const auto directory = static_cast<BYTE*>(LockResource(
      LoadResource(self, FindResourceW(self, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)))));  // RT_GROUP_ICON
  const int id = LookupIconIdFromDirectoryEx(directory, TRUE, size, size, LR_DEFAULTCOLOR);
  const HRSRC image = FindResourceW(self, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));  // RT_ICON
  return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(self, image)))->biWidth;
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
    const int size = place.right - place.left;
    EXPECT_EQ(ImageWidthFor(size), size) << "an image of its own";
    EXPECT_EQ(Drawn(icon, size), IconImage(size)) << dpi;
  }
}

}  // namespace
}  // namespace pintaro::test
