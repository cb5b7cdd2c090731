#include "platform/file_writer.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/system_error_message.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

TEST(FileWriter, ReplacesTheFileWithEveryByte) {
    const fs::path path = fs::path(testing::TempDir()) / "file_writer_test.bin";
    Write_file(path.string(), "an older, longer text");
    const std::string bytes("one\r\ntwo\0three", 14);
    Write_file(path.string(), bytes);
    EXPECT_EQ(test_files::Contents(path), bytes);
    fs::remove(path);
}

TEST(FileWriter, EachFailureRaisesItsSystemMessage) {
    const struct {
        std::string Path;
        std::string Message;
    } cases[] = {
        {testing::TempDir() + "no_such_folder_here/out.txt", "File not found"},
        {"/dev/full", "Disk full"},
    };
    for (const auto& c : cases) {
        if (c.Path == "/dev/full" && ::access("/dev/full", W_OK) != 0) continue;
        try {
            Write_file(c.Path, std::string(100000, 'x'));
            ADD_FAILURE() << c.Path << " was written";
        } catch (const EFile_error& error) {
            EXPECT_EQ(std::string(error.what()), c.Message) << c.Path;
        }
    }
}
