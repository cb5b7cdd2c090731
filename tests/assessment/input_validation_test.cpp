#include "assessment/input_validation.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

#include "assessment/program_texts.h"
#include "tests/support/scripted_platform.h"

namespace {

const std::string Invalid_entry = "There is an invalid data entry, which will be highlighted once "
                                  "you click 'OK', please re-enter.";

class InputValidation : public testing::Test {
protected:
    tScripted_platform platform;

    void Expect_one_warning(const std::string& text) {
        ASSERT_EQ(platform.Boxes.size(), 1u);
        EXPECT_EQ(platform.Boxes[0].Text, text);
        EXPECT_EQ(platform.Boxes[0].Kind, tMessage_kind::Warning);
        EXPECT_EQ(platform.Boxes[0].Title, "Warning");
        EXPECT_EQ(platform.Boxes[0].Buttons, Ok_button);
        platform.Clear_record();
    }
};

} // namespace

TEST_F(InputValidation, ParseEntryReadsPointOrCommaBlanksAndALeadingMinusSilently) {
    InputError = true;
    EXPECT_EQ(ParseEntry(platform, ""), 0);
    EXPECT_FALSE(InputError);
    EXPECT_DOUBLE_EQ(ParseEntry(platform, "3,5"), 3.5);
    EXPECT_DOUBLE_EQ(ParseEntry(platform, "3.5"), 3.5);
    EXPECT_EQ(ParseEntry(platform, " 1 2 "), 12);
    EXPECT_EQ(ParseEntry(platform, "-2"), -2);
    EXPECT_DOUBLE_EQ(ParseEntry(platform, "0.25"), 0.25);
    EXPECT_FALSE(InputError);
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(InputValidation, ParseEntryWarnsOnABadCharacterAndKeepsOnlyWhatASecondPointCutsOff) {
    EXPECT_EQ(ParseEntry(platform, "2-"), 0);
    EXPECT_TRUE(InputError);
    Expect_one_warning(Invalid_entry);

    EXPECT_DOUBLE_EQ(ParseEntry(platform, "1.2.3"), 1.2);
    EXPECT_TRUE(InputError);
    Expect_one_warning(Invalid_entry);

    EXPECT_EQ(ParseEntry(platform, "abc"), 0);
    EXPECT_TRUE(InputError);
    Expect_one_warning(Invalid_entry);

    // Not numbers here: exponent, plus sign, a minus after a blank.
    for (const char* text : {"1e3", "+4", " -2"}) {
        EXPECT_EQ(ParseEntry(platform, text), 0) << text;
        EXPECT_TRUE(InputError) << text;
        Expect_one_warning(Invalid_entry);
    }
}

TEST_F(InputValidation, OverlongDigitStringsRaiseOnlyWhenTheValueItselfOverflows) {
    EXPECT_THROW(ParseEntry(platform, std::string(400, '9')), std::exception);
    EXPECT_DOUBLE_EQ(ParseEntry(platform, "1." + std::string(400, '0') + "5"), 1.0);
    EXPECT_DOUBLE_EQ(ReadNumericField("2." + std::string(400, '7'), SampleSizeCaption).Value,
                     2.7777777777777777);
    EXPECT_FALSE(InputError);
}

TEST(EntryReading, ReadNumericFieldRefusesAnEmptyFieldOrACommaQuotingCaptionAndText) {
    EXPECT_EQ(ReadNumericField("", PredictorsCaption).Warning,
              "INPUT ERROR\r\r(  Number of predictor (i.e., X) variables :   )\r\r"
              "Data have not been entered in this field.");
    EXPECT_EQ(ReadNumericField("3,5", SampleSizeCaption).Warning,
              "INPUT ERROR\r(  Sample size (N) of sample providing the summary data:  "
              "3,5  )\r\rEnter numeric data only.");
}

TEST(EntryReading, ReadNumericFieldAcceptsPlainDecimals) {
    const struct {
        const char* Text;
        double Value;
    } cases[] = {{".5", 0.5}, {"5.", 5}, {"-0", 0}, {"30", 30}};
    for (const auto& c : cases) {
        const tField_reading read = ReadNumericField(c.Text, SampleSizeCaption);
        EXPECT_EQ(read.Warning, "") << c.Text;
        EXPECT_DOUBLE_EQ(read.Value, c.Value) << c.Text;
    }
}

TEST(EntryReading, CheckPredictorCountAcceptsWholeNumbersOneToFive) {
    EXPECT_EQ(CheckPredictorCount(PredictorsCaption, 1), "");
    EXPECT_EQ(CheckPredictorCount(PredictorsCaption, 5), "");
    for (double value : {0.0, 6.0, 12.0, -1.0, 2.5, 1e300})
        EXPECT_NE(CheckPredictorCount(PredictorsCaption, value), "") << value;
    EXPECT_EQ(CheckPredictorCount(PredictorsCaption, 2.5),
              "INPUT ERROR\r(  Number of predictor (i.e., X) variables :   2.500  )\r"
              "The value must be a positive integer and be less than 6.");
}

TEST(EntryReading, CheckSampleSizeAcceptsWholeNumbersFromThreeUp) {
    EXPECT_EQ(CheckSampleSize(SampleSizeCaption, 3), "");
    EXPECT_EQ(CheckSampleSize(SampleSizeCaption, 499), "");
    for (double value : {2.0, 0.0, 30.5, -5.0, 1e19})
        EXPECT_NE(CheckSampleSize(SampleSizeCaption, value), "") << value;
    EXPECT_EQ(CheckSampleSize(SampleSizeCaption, 30.5),
              "INPUT ERROR\r(  Sample size (N) of sample providing the summary data:  "
              "30.500  )\rThe value for sample size must be an integer greater than 2.");
}

TEST_F(InputValidation, FilterNumericKeyPassesDigitsSignPointAndEditingKeys) {
    for (char key : std::string("0123456789-.\b\t\r"))
        EXPECT_EQ(FilterNumericKey(platform, key), key) << int(key);
    EXPECT_EQ(FilterNumericKey(platform, ','), '.');
    EXPECT_EQ(platform.Beeps, 0);
    EXPECT_TRUE(platform.Boxes.empty());
}

TEST_F(InputValidation, FilterNumericKeyRefusesOtherKeysWithABeepBeforeTheWarning) {
    for (char key : {'a', ' ', '+', '\x16', 'e'}) {
        EXPECT_EQ(FilterNumericKey(platform, key), '\0') << int(key);
        ASSERT_EQ(platform.Events.size(), 2u);
        EXPECT_EQ(platform.Events[0], "beep");
        Expect_one_warning("INPUT ERROR\r\rEnter numeric data only.");
    }
}

TEST_F(InputValidation, TruncateEntryKeepsSixCharactersAfterABeepAndAWarning) {
    EXPECT_EQ(TruncateEntry(platform, "1234567"), "123456");
    EXPECT_EQ(platform.Beeps, 1);
    Expect_one_warning("Maximum length of input is 6 characters.");
}

TEST(StrictIntegerConversion, AcceptsOnlyBlanksSignAndDigits) {
    EXPECT_EQ(ConvertStrictInteger("12"), 12);
    EXPECT_EQ(ConvertStrictInteger("  -3"), -3);
    EXPECT_EQ(ConvertStrictInteger("+4"), 4);
    for (const char* text : {"2.", "2.5", "1 2", "", "-", "3 ", "99999999999"}) {
        try {
            ConvertStrictInteger(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const std::runtime_error& error) {
            EXPECT_EQ(std::string(error.what()),
                      "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(FixedFormat, ShowsThreeDecimalsWhateverTheLocale) {
    EXPECT_EQ(FormatFixed3(2.5), "2.500");
    EXPECT_EQ(FormatFixed3(-1), "-1.000");
}
