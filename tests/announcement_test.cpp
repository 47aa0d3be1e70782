#include "app/announcement.h"

#include <gtest/gtest.h>

#include "expected_lines.h"
#include "platform/text.h"

using Platform::ToAnsi;

TEST(Announcement, LinesAreExactToTheByte) {
  EXPECT_EQ(ToAnsi(BannerLine(L"#0080c0")), TOOFEL_BANNER("#0080c0"));
  EXPECT_EQ(ToAnsi(IdLine(L"#0080c0", L"new", 3)), TOOFEL_ID("#0080c0", "new", "3"));
}

TEST(Announcement, EmptyColorLeavesEveryColorAttributeEmpty) {
  EXPECT_EQ(ToAnsi(BannerLine(L"")), TOOFEL_BANNER(""));
  EXPECT_EQ(ToAnsi(IdLine(L"", L"new", 3)), TOOFEL_ID("", "new", "3"));
}

TEST(Announcement, FieldsGoInVerbatim) {
  EXPECT_EQ(ToAnsi(IdLine(L"red>", L"<b>x</b>", 0)), TOOFEL_ID("red>", "<b>x</b>", "0"));
  EXPECT_EQ(ToAnsi(IdLine(L"#0080c0", L"", 7)), TOOFEL_ID("#0080c0", "", "7"));
}

TEST(Announcement, CountIsTheRealNumberBeyondSixteenBits) {
  EXPECT_EQ(ToAnsi(IdLine(L"#0080c0", L"new", 40000)), TOOFEL_ID("#0080c0", "new", "40000"));
}
