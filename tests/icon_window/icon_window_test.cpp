// Files dropped on the icon window through OLE, with the test's own hand on the mouse.
#include "support/app_fixture.h"
#include "support/drag_source.h"

namespace pintaro::test {
namespace {

TEST_F(AppTest, DroppedPictureFilesOpenInTheListsOrderAndOnlyFileListsThatMayBeCopiedAreTaken) {
  StartProgram();
  const std::wstring names[] = {WriteGradient(dir, L"a.jpg", 64, 48, PictureFormat::Jpeg),
                                WriteGradient(dir, L"b.png", 64, 48, PictureFormat::Png), dir / L"photos.jpg",
                                WriteGradient(dir, L"c.GIF", 48, 64, PictureFormat::Gif),
                                WriteGradient(dir, L"d.jpeg", 64, 64, PictureFormat::Jpeg)};
  CreateDirectoryW(names[2].c_str(), nullptr);
  NamesSource files({std::begin(names), std::end(names)}, CF_HDROP);
  EXPECT_EQ(DragOntoIcon(files, DROPEFFECT_COPY | DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_COPY));
  ExpectOnlyFormatMessage(names[2]);
  const std::wstring opened[] = {names[0], names[3], names[4]};
  ASSERT_EQ(PictureWindows().UpperBound(), 3);
  for (int slot = 1; slot <= 3; ++slot) {
    EXPECT_EQ(Slot(slot).picturePath, opened[slot - 1]);
    EXPECT_TRUE(IsWindowVisible(Slot(slot).hwnd()));
  }

  NamesSource text({names[0]}, CF_UNICODETEXT);
  EXPECT_EQ(DragOntoIcon(text, DROPEFFECT_COPY), static_cast<DWORD>(DROPEFFECT_NONE));
  NamesSource moveOnly({names[0]}, CF_HDROP);
  EXPECT_EQ(DragOntoIcon(moveOnly, DROPEFFECT_MOVE), static_cast<DWORD>(DROPEFFECT_NONE));
  EXPECT_EQ(PictureWindows().UpperBound(), 3);
  EXPECT_TRUE(messages.messages().empty());
}

}  // namespace
}  // namespace pintaro::test
