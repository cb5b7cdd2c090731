#include "distributions/argument_error.h"

#include <gtest/gtest.h>

#include "oracle.h"

TEST(Argument_error, each_id_compares_in_its_own_direction) {
    // Strictly above the bound.
    EXPECT_THROW(Check_bound(1301, 0, 0), EArgumentError);
    EXPECT_TRUE(Check_bound(1305, 1e-20L, 0));
    // At least the bound.
    EXPECT_TRUE(Check_bound(1302, 0, 0));
    EXPECT_THROW(Check_bound(1302, -0.5L, 0), EArgumentError);
    // Strictly below the bound.
    EXPECT_THROW(Check_bound(1303, 2147483647, 2147483647), EArgumentError);
    EXPECT_TRUE(Check_bound(1311, 2147483646, 2147483647));
    // At most the bound.
    EXPECT_TRUE(Check_bound(1315, 1, 1));
    EXPECT_THROW(Check_bound(1315, 1.1L, 1), EArgumentError);
    // Ids without a comparison never fail.
    EXPECT_TRUE(Check_bound(1300, -1e30L, 1e30L));
    EXPECT_TRUE(Check_bound(1361, 1e30L, 0));
}

TEST(Argument_error, a_nan_value_fails_every_comparison) {
    const Extended nan = std::numeric_limits<Extended>::quiet_NaN();
    for (int id : {1301, 1302, 1303, 1315})
        EXPECT_THROW(Check_bound(id, nan, 0), EArgumentError) << id;
}

TEST(Argument_error, the_message_is_the_text_followed_by_the_bound) {
    auto [id, message] = Argument_error_of([] { Check_bound(1302, -0.5L, 0); });
    EXPECT_EQ(id, 1302);
    EXPECT_EQ(message, "The probability (or point) must be at least 0");
    std::tie(id, message) = Argument_error_of([] { Check_bound(1305, 0, 0); });
    EXPECT_EQ(message, "The second parameter must be greater than 0");
    std::tie(id, message) = Argument_error_of([] { Check_bound(1303, 3e9L, 2147483647); });
    EXPECT_EQ(message, "The parameter must be less than 2147483647");
    std::tie(id, message) = Argument_error_of([] { Check_bound(1315, 1.5L, 1); });
    EXPECT_EQ(message, "The probability must be at most 1");
}

TEST(Argument_error, raise_if_carries_the_text_alone) {
    EXPECT_TRUE(Raise_if(false, 1362));
    auto [id, message] = Argument_error_of([] { Raise_if(true, 1363); });
    EXPECT_EQ(id, 1363);
    EXPECT_EQ(message, "The variance of this distribution does not exist");
    std::tie(id, message) = Argument_error_of([] { Raise_if(true, 1308); });
    EXPECT_EQ(message, "The second parameter must be a whole number");
    // An id without a text gives an empty message.
    std::tie(id, message) = Argument_error_of([] { Raise_if(true, 1400); });
    EXPECT_EQ(id, 1400);
    EXPECT_EQ(message, "");
}

TEST(Argument_error, every_id_of_the_table_has_a_text) {
    for (int id : {1301, 1302, 1303, 1304, 1305, 1306, 1307, 1308, 1309, 1310, 1311, 1312, 1315,
                   1361, 1362, 1363})
        EXPECT_FALSE(Message_text(id).empty()) << id;
    EXPECT_TRUE(Message_text(1313).empty());
}

TEST(Argument_error, numbers_are_formatted_with_at_most_twelve_decimals) {
    EXPECT_EQ(Format_number(0), "0");
    EXPECT_EQ(Format_number(1), "1");
    EXPECT_EQ(Format_number(2147483647), "2147483647");
    EXPECT_EQ(Format_number(-2147483647), "-2147483647");
    EXPECT_EQ(Format_number(0.5L), "0.5");
    EXPECT_EQ(Format_number(1.0L / 3), "0.333333333333");
    EXPECT_EQ(Format_number(-1e-15L), "0");
}
