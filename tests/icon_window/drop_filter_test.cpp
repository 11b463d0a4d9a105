#include "icon_window/drop_filter.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(IsDroppablePictureName, JpegAndJifToo) {
  for (const wchar_t* name : {L"C:\\a.jpg", L"c.GIF", L"x.jpeg", L"X.JPEG", L"y.jif", L"z.Bmp", L".jpg"}) {
    EXPECT_TRUE(IsDroppablePictureName(name)) << name;
  }
  for (const wchar_t* name : {L"b.png", L"a.jpg.txt", L"jpeg", L"a.jpe", L"", L"gif", L"a.JPGX"}) {
    EXPECT_FALSE(IsDroppablePictureName(name)) << name;
  }
}

}  // namespace
}  // namespace pintaro
