#include "app/announcement.h"

#include <gtest/gtest.h>

#include "expected_lines.h"
#include "platform/text.h"

// An empty colour and a screen name with markup in it go into the lines as they are.
TEST(Announcement, LinesAreExactToTheCharacter) {
  EXPECT_EQ(BannerLine(L"#0080c0"), TOOFEL_BANNER("#0080c0"));
  EXPECT_EQ(BannerLine(L""), TOOFEL_BANNER(""));
  EXPECT_EQ(IdLine(L"#0080c0", L"new", 3), TOOFEL_ID("#0080c0", "new", "3"));
  EXPECT_EQ(IdLine(L"", L"<b>x</b>", 0), TOOFEL_ID("", "<b>x</b>", "0"));
  EXPECT_EQ(IdLine(L"", L"x", 100200), TOOFEL_ID("", "x", "100200"));
}

TEST(Announcement, OnCodePage1252TheLinesHaveItsBytes) {
  if (GetACP() != kWesternCodePage) GTEST_SKIP() << "the system's code page is " << GetACP() << ", not 1252";
  EXPECT_EQ(Platform::ToAnsi(BannerLine(L"#0080c0")), TOOFEL_BANNER_1252("#0080c0"));
  EXPECT_EQ(Platform::ToAnsi(IdLine(L"", L"x", 7)), TOOFEL_ID_1252("", "x", "7"));
}
