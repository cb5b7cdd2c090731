// The one mapping from a system error code to the user's message, and the
// places that report through it.

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/system_error_message.h"

TEST(System_error_message, EachKindOfFailureHasItsMessage) {
    EXPECT_EQ(System_error_message(ENOENT), "File not found");
    EXPECT_EQ(System_error_message(ENOTDIR), "File not found"); // a missing folder on the way
    EXPECT_EQ(System_error_message(EACCES), "File access denied");
    EXPECT_EQ(System_error_message(EPERM), "File access denied");
    EXPECT_EQ(System_error_message(EROFS), "File access denied");
    EXPECT_EQ(System_error_message(EISDIR), "File access denied");
    EXPECT_EQ(System_error_message(ENOSPC), "Disk full");
    EXPECT_EQ(System_error_message(EDQUOT), "Disk full");
    EXPECT_EQ(System_error_message(EIO), "I/O error 5");
    EXPECT_EQ(System_error_message(EMFILE), "I/O error 24");
}

TEST(System_error_message, AFileErrorCarriesItsCodeAndMessage) {
    const EFile_error error(ENOSPC);
    EXPECT_EQ(error.Code(), ENOSPC);
    EXPECT_STREQ(error.what(), "Disk full");
}

TEST(System_error_message, AStreamFailureWithoutACodeCountsAsAnIoError) {
    errno = 0;
    EXPECT_EQ(Last_error_or_io(), EIO);
    errno = ENOSPC;
    EXPECT_EQ(Last_error_or_io(), ENOSPC);
}
