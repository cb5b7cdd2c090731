#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_writer.h"
#include "platform/system_error_message.h"

// The report's lines reach the descriptor whole, each with its line end, and
// a device that takes none of them raises its message instead of passing.
TEST(StreamWrites, LinesAreWrittenWithTheirEndsAndFlushedOrTheFailureRaised) {
    const std::vector<std::string> lines = {"one", "", std::string(5000, 'x'), "last"};
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    Write_lines_checked(file, lines);
    std::string written(6000, '\0');
    written.resize(static_cast<std::size_t>(::pread(::fileno(file), written.data(), 6000, 0)));
    EXPECT_EQ(written, "one\n\n" + lines[2] + "\nlast\n");
    std::fclose(file);

    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    std::FILE* full = std::fopen("/dev/full", "wb");
    ASSERT_NE(full, nullptr);
    try {
        Write_lines_checked(full, {"a"});
        ADD_FAILURE() << "a full device took the lines";
    } catch (const EFile_error& error) {
        EXPECT_EQ(std::string(error.what()), System_error_message(ENOSPC));
    }
    std::fclose(full);
}
