#include "platform/plain_text_pages.h"

#include <gtest/gtest.h>

TEST(PlainTextPages, LinesEndAtCrLfLfOrCrAndAFinalLineEndAddsNoLine) {
    const auto pages = Plain_text_pages("one\r\ntwo\nthree\rfour\n", 80, 60);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (tPage{"one", "two", "three", "four"}));
}

TEST(PlainTextPages, EmptyLinesArePrintedAsLines) {
    const auto pages = Plain_text_pages("\nreport\n\n", 80, 60);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (tPage{"", "report", ""}));
}

TEST(PlainTextPages, ALineTooWideContinuesOnTheNextLine) {
    const auto pages = Plain_text_pages("abcdefghij\nxy", 4, 60);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (tPage{"abcd", "efgh", "ij", "xy"}));
}

TEST(PlainTextPages, TabsAdvanceToTheNextMultipleOfEightColumns) {
    const auto pages = Plain_text_pages("a\tb\n\tc\nabcdefgh\ti", 80, 60);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0], (tPage{"a       b", "        c", "abcdefgh        i"}));
}

TEST(PlainTextPages, ANewPageStartsWhenTheNextLineWouldNotFit) {
    const auto pages = Plain_text_pages("1\n2\n3\n4\n5\n", 80, 2);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], (tPage{"1", "2"}));
    EXPECT_EQ(pages[1], (tPage{"3", "4"}));
    EXPECT_EQ(pages[2], (tPage{"5"}));
}

TEST(PlainTextPages, NothingToPrintGivesNoPage) {
    EXPECT_TRUE(Plain_text_pages("", 80, 60).empty());
}
