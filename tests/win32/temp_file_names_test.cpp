#include "win32/temp_file_names.h"

#include <gtest/gtest.h>

namespace pintaro {
namespace {

TEST(TempFileNames, OnlyPntOneToFourHexDigitsAndTmpInAnyCaseAreTheProgramsOwn) {
  EXPECT_EQ(TempFileName(0x1A2B), L"pnt1A2B.TMP");
  EXPECT_EQ(TempFileName(0x1), L"pnt1.TMP");
  for (const wchar_t* own : {L"pnt1A2B.TMP", L"PNTbeef.tmp", L"pnt0.Tmp", L"pntFFFF.TMP"})
    EXPECT_TRUE(IsTempFileName(own)) << own;
  // Others' files that a search for "pnt*.tmp" finds through their short names, and near misses.
  for (const wchar_t* other : {L"pntnotes.tmpx", L"pnt_report.tmp_old", L"pntdraft.tmp1", L"pnt.tmp", L"pnt12345.tmp",
                               L"pntG1.tmp", L"pnt1.tmp.bak", L"xpnt1.tmp", L"pnt1.tm", L"pnt 1.tmp", L"PNTNOT~1.TMP"})
    EXPECT_FALSE(IsTempFileName(other)) << other;
}

}  // namespace
}  // namespace pintaro
