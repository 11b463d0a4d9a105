// Memory running out while a picture is scaled: the picture is reported and the program goes on.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <new>

#include "picture_window/picture_window.h"
#include "pictures/picture_windows.h"
#include "support/app_fixture.h"
#include "support/test_files.h"

namespace {
// While set, every allocation of at least this many bytes fails.
std::size_t g_failFrom = SIZE_MAX;
}  // namespace

void* operator new(std::size_t size) {
  void* memory = size < g_failFrom ? std::malloc(size ? size : 1) : nullptr;
  if (!memory) throw std::bad_alloc();
  return memory;
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace pintaro::test {
namespace {

class OutOfMemoryTest : public AppTest {};

TEST_F(OutOfMemoryTest, APictureWithoutMemoryToScaleGetsTheMessageAndFreesItsSlot) {
  StartProgram();
  TempDir dir;
  const std::wstring wide = dir / L"wide.bmp";
  WritePicture(wide, MakeGradient(20000, 20), PictureFormat::Bmp);
  {
    // Read while memory lasts; its scaling, after the first message pump, finds none for its rows.
    InNextPump exhaust([] { g_failFrom = 100000; });
    OpenPictureFile(wide);
    g_failFrom = SIZE_MAX;
  }
  ExpectOnlyFormatMessage(wide);
  ASSERT_EQ(PictureWindows().UpperBound(), 1);
  EXPECT_TRUE(PictureWindows()[1]->isFree);
  OpenPictureFile(wide);
  EXPECT_FALSE(PictureWindows()[1]->isFree) << "with memory again it opens in the freed slot";
  EXPECT_TRUE(messages.messages().empty());
}

}  // namespace
}  // namespace pintaro::test
