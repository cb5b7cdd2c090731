#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file_writer.h"
#include "platform/system_error_message.h"

namespace {

const std::vector<std::string> Lines = {"one", "", std::string(5000, 'x'), "last"};

// What each write leaves in a stream, or the message it raised.
struct tWrite {
    const char* Name;
    void (*Write)(std::FILE*);
    std::string Bytes;
};

const tWrite Writes[] = {
    {"bytes", [](std::FILE* stream) { Write_checked(stream, "a\nb"); }, "a\nb"},
    {"lines", [](std::FILE* stream) { Write_lines_checked(stream, Lines); },
     "one\n\n" + std::string(5000, 'x') + "\nlast\n"},
    {"no lines", [](std::FILE* stream) { Write_lines_checked(stream, {}); }, ""},
};

} // namespace

TEST(StreamWrites, EveryByteIsWrittenAndFlushed) {
    for (const tWrite& write : Writes) {
        std::FILE* stream = std::tmpfile();
        ASSERT_NE(stream, nullptr);
        write.Write(stream);
        // Flushed: the descriptor already holds every byte.
        std::string read(write.Bytes.size() + 1, '\0');
        const auto count = ::pread(::fileno(stream), read.data(), read.size(), 0);
        EXPECT_EQ(read.substr(0, count > 0 ? static_cast<std::size_t>(count) : 0), write.Bytes)
            << write.Name;
        std::fclose(stream);
    }
}

// A full device: the failure is raised, never passed over as a write.
TEST(StreamWrites, AWriteThatFailsRaisesTheSystemMessage) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    for (const tWrite& write : Writes) {
        if (write.Bytes.empty()) continue;
        std::FILE* stream = std::fopen("/dev/full", "wb");
        ASSERT_NE(stream, nullptr);
        try {
            write.Write(stream);
            ADD_FAILURE() << write.Name << " passed";
        } catch (const EFile_error& error) {
            EXPECT_EQ(std::string(error.what()), System_error_message(ENOSPC)) << write.Name;
        }
        std::fclose(stream);
    }
}
