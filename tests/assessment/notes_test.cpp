// The one rule for the user's notes, shared by the notes memo and pavona-cli.

#include <gtest/gtest.h>

#include "assessment/notes.h"

TEST(Notes, LengthCountsCharactersAndTwoPerLineBreak) {
    EXPECT_EQ(Notes_length(std::vector<std::string>{}), 0u);
    EXPECT_EQ(Notes_length(std::vector<std::string>{"abc"}), 3u);
    EXPECT_EQ(Notes_length(std::vector<std::string>{"abc", "", "de"}), 9u);
    EXPECT_EQ(Notes_length(std::vector<std::string>{"\xC3\xA9t\xC3\xA9"}), 3u); // UTF-8 "été"
    // The memo's text and the tool's lines count alike.
    EXPECT_EQ(Notes_length(std::string("abc\n\nde")), 9u);
    EXPECT_EQ(Notes_length(std::string("abc\n")), 5u);
}

TEST(Notes, LinesSplitAtLineBreaksAndAFinalBreakStartsNoLine) {
    EXPECT_TRUE(Notes_lines("").empty());
    EXPECT_EQ(Notes_lines("one"), (std::vector<std::string>{"one"}));
    EXPECT_EQ(Notes_lines("one\n"), (std::vector<std::string>{"one"}));
    EXPECT_EQ(Notes_lines("one\n\ntwo"), (std::vector<std::string>{"one", "", "two"}));
    EXPECT_EQ(Notes_lines("one\n\n"), (std::vector<std::string>{"one", ""}));
    EXPECT_EQ(Notes_lines("\n"), (std::vector<std::string>{""}));
}
