#include "platform/platform.h"

#include <gtest/gtest.h>
#include <stdexcept>

#include "tests/support/scripted_platform.h"

TEST(DefaultErrorHandler, ShowsTheMessageInAnErrorBoxTitledWithTheProgramName) {
    tScripted_platform platform;
    Show_default_error(platform, std::runtime_error("'2.' is not a valid integer value"));
    ASSERT_EQ(platform.Boxes.size(), 1u);
    EXPECT_EQ(platform.Boxes[0].Text, "'2.' is not a valid integer value.");
    EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Error);
    EXPECT_EQ(platform.Boxes[0].Title, "Pavona");
    EXPECT_EQ(platform.Boxes[0].Buttons, Ok_button);
}

TEST(DefaultErrorHandler, AddsAFullStopOnlyAfterCharactersAboveThePoint) {
    EXPECT_EQ(With_full_stop("Invalid numeric input"), "Invalid numeric input.");
    EXPECT_EQ(With_full_stop("I/O error 5"), "I/O error 5."); // '5' is above '.'
    EXPECT_EQ(With_full_stop("Already ended."), "Already ended.");
    EXPECT_EQ(With_full_stop("Closing bracket)"), "Closing bracket)"); // ')' is below '.'
    EXPECT_EQ(With_full_stop("Dash-"), "Dash-");                       // '-' is below '.'
    EXPECT_EQ(With_full_stop("Slash/"), "Slash/.");                    // '/' is above '.'
    EXPECT_EQ(With_full_stop(""), "");
    EXPECT_EQ(With_full_stop("caf\xc3\xa9"), "caf\xc3\xa9."); // a UTF-8 byte counts as above
}

TEST(MessageBoxTexts, KindsAndButtonsCarryTheirFixedCaptions) {
    EXPECT_STREQ(Message_kind_title(tMessage_kind::Warning), "Warning");
    EXPECT_STREQ(Message_kind_title(tMessage_kind::Error), "Error");
    EXPECT_STREQ(Message_kind_title(tMessage_kind::Information), "Information");
    EXPECT_STREQ(Message_kind_title(tMessage_kind::Confirmation), "Confirm");
    EXPECT_STREQ(Button_caption(tButton::Yes), "&Yes");
    EXPECT_STREQ(Button_caption(tButton::No), "&No");
    EXPECT_STREQ(Button_caption(tButton::Ok), "OK");
}

TEST(ScriptedPlatform, AnswersBoxesFromItsScriptThenWithTheFirstButton) {
    tScripted_platform platform;
    platform.Box_answers = {tButton::No};
    EXPECT_EQ(
        platform.Message_box("Exit from program?", tMessage_kind::Confirmation, Yes_no_buttons),
        tButton::No);
    EXPECT_EQ(
        platform.Message_box("Exit from program?", tMessage_kind::Confirmation, Yes_no_buttons),
        tButton::Yes);
    EXPECT_EQ(platform.Boxes[1].Title, "Confirm");
    EXPECT_FALSE(platform.Open_file({}).has_value()); // unscripted dialogs are cancelled
    platform.Printer_available = false;
    EXPECT_THROW(platform.Print_text("x", "Courier New", 10), std::runtime_error);
}

TEST(SaveDialogFileTypes, TheChosenTypesExtensionIsAddedOnlyWhenNoListedOneWasTyped) {
    const std::vector<tFile_type> types = {{"PNG image", "png"}, {"SVG image", "svg"}};
    EXPECT_EQ(Path_with_file_type("/tmp/plot", types, 1), "/tmp/plot.svg");
    EXPECT_EQ(Path_with_file_type("/tmp/plot.png", types, 1), "/tmp/plot.png");
    EXPECT_EQ(Path_with_file_type("/tmp/plot.SVG", types, 0), "/tmp/plot.SVG");
    // An extension of another type, or a point in a folder name, is not the file's type.
    EXPECT_EQ(Path_with_file_type("/tmp/plot.jpg", types, 0), "/tmp/plot.jpg.png");
    EXPECT_EQ(Path_with_file_type("/tmp/v1.png/plot", types, 1), "/tmp/v1.png/plot.svg");
    // A choice outside the list falls back to its last type; no list, no change.
    EXPECT_EQ(Path_with_file_type("plot", types, 7), "plot.svg");
    EXPECT_EQ(Path_with_file_type("plot", {}, 0), "plot");
}
