#include "platform/file_writer.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/system_error_message.h"
#include "tests/support/failing_file_system.h"
#include "tests/support/files.h"

namespace fs = std::filesystem;

namespace {

using tStep = tFailing_file_system::tStep;

class FileWriter : public testing::Test {
protected:
    fs::path folder;
    fs::path target;
    const std::string old_bytes = std::string("the old results\r\n\0with a zero", 29);
    const std::string new_bytes = "the new, longer results\r\nthat were never saved\r\n";

    void SetUp() override {
        folder = fs::path(testing::TempDir()) /
                 ("file_writer_" + std::to_string(::getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
        target = folder / "results.txt";
    }
    void TearDown() override { fs::remove_all(folder); }

    // The names in the folder, so that a stray new file shows.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        return names;
    }
    // The message Write_file raised, or "" when it passed.
    static std::string Failure(const fs::path& path, const std::string& bytes) {
        try {
            Write_file(path.string(), bytes);
        } catch (const EFile_error& error) {
            return error.what();
        }
        return "";
    }
};

} // namespace

TEST_F(FileWriter, ReplacesTheFileWithEveryByte) {
    Write_file(target.string(), "an older, longer text");
    const std::string bytes("one\r\ntwo\0three", 14);
    Write_file(target.string(), bytes);
    EXPECT_EQ(test_files::Contents(target), bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"results.txt"});
}

TEST_F(FileWriter, EachFailureRaisesItsSystemMessage) {
    const struct {
        std::string Path;
        std::string Message;
    } cases[] = {
        {(folder / "no_such_folder_here" / "out.txt").string(), "File not found"},
        {folder.string(), "File access denied"},
        {"/dev/full", "Disk full"},
    };
    for (const auto& c : cases) {
        if (c.Path == "/dev/full" && ::access("/dev/full", W_OK) != 0) continue;
        EXPECT_EQ(Failure(c.Path, std::string(100000, 'x')), c.Message) << c.Path;
    }
    // A device is written where it is, never replaced by a file.
    struct stat status {};
    if (::stat("/dev/full", &status) == 0) {
        EXPECT_TRUE(S_ISCHR(status.st_mode));
    }
}

TEST_F(FileWriter, AFailurePartWayLeavesTheOldFileByteForByteAndNoNewFile) {
    const struct {
        tStep Step;
        std::size_t Bytes_before_failure;
        int Error;
        const char* Message;
    } failures[] = {
        {tStep::Write, 0, ENOSPC, "Disk full"},  {tStep::Write, 7, ENOSPC, "Disk full"},
        {tStep::Write, 47, EDQUOT, "Disk full"}, {tStep::Sync, 0, EIO, "I/O error 5"},
        {tStep::Close, 0, ENOSPC, "Disk full"},  {tStep::Rename, 0, EIO, "I/O error 5"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(static_cast<int>(failure.Step));
        SCOPED_TRACE(failure.Bytes_before_failure);
        Write_file(target.string(), old_bytes);
        tFailing_file_system files(failure.Step, failure.Error);
        files.Bytes_before_failure = failure.Bytes_before_failure;
        {
            const tFile_system_replacement replacement(files);
            EXPECT_EQ(Failure(target, new_bytes), failure.Message);
        }
        EXPECT_EQ(files.Failures, 1);
        EXPECT_EQ(test_files::Contents(target), old_bytes);
        EXPECT_EQ(Names(), std::vector<std::string>{"results.txt"});
    }
}

TEST_F(FileWriter, AReadOnlyFileIsNotReplacedThoughItsFolderWouldAllowIt) {
    Write_file(target.string(), old_bytes);
    tFailing_file_system files(tStep::Write);
    files.Failures = 1; // nothing fails but the permission
    files.Read_only_files = true;
    const tFile_system_replacement replacement(files);
    EXPECT_EQ(Failure(target, new_bytes), "File access denied");
    EXPECT_EQ(test_files::Contents(target), old_bytes);
    EXPECT_EQ(Names(), std::vector<std::string>{"results.txt"});
}

TEST_F(FileWriter, ANewFileThatFailsPartWayIsNotLeftBehind) {
    for (const tStep step : {tStep::Create, tStep::Write, tStep::Sync, tStep::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        tFailing_file_system files(step);
        files.Bytes_before_failure = 5;
        const tFile_system_replacement replacement(files);
        EXPECT_EQ(Failure(target, new_bytes), "Disk full");
        EXPECT_TRUE(fs::is_empty(folder));
    }
}

// A folder that takes no new file (or a target that cannot be renamed over)
// while the target itself is writable: the target is overwritten in place, as
// it could be before, and keeps its old bytes when that fails.
TEST_F(FileWriter, WhereNoNewFileCanReplaceTheTargetItIsOverwrittenInPlace) {
    const struct {
        bool Refuse_new_files;
        tStep Step;
        int Error;
    } ways[] = {
        {true, tStep::Open_old, 0},    // no failure of its own: only the folder refuses
        {false, tStep::Create, EPERM}, // the folder refuses the new file
        {false, tStep::Rename, EBUSY}, // the target is a file mounted on its own
        {false, tStep::Rename, EACCES},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(static_cast<int>(way.Step));
        Write_file(target.string(), old_bytes + old_bytes); // longer than the new bytes
        tFailing_file_system files(way.Step, way.Error);
        files.Refuse_new_files = way.Refuse_new_files;
        if (way.Error == 0) files.Failures = 1; // nothing but the refusal fails
        {
            const tFile_system_replacement replacement(files);
            EXPECT_EQ(Failure(target, new_bytes), "");
        }
        EXPECT_EQ(test_files::Contents(target), new_bytes);
        EXPECT_EQ(Names(), std::vector<std::string>{"results.txt"});
    }
}

TEST_F(FileWriter, AnInPlaceOverwriteThatFailsPutsTheOldBytesBack) {
    const struct {
        tStep Step;
        std::size_t Bytes_before_failure;
        const char* Message;
    } failures[] = {
        {tStep::Write, 0, "Disk full"},
        {tStep::Write, 40, "Disk full"}, // past the old bytes' end
        {tStep::Sync, 0, "Disk full"},
        {tStep::Open_old, 0, "Disk full"},
    };
    for (const auto& failure : failures) {
        SCOPED_TRACE(static_cast<int>(failure.Step));
        Write_file(target.string(), old_bytes);
        tFailing_file_system files(failure.Step);
        files.Bytes_before_failure = failure.Bytes_before_failure;
        files.Refuse_new_files = true;
        {
            const tFile_system_replacement replacement(files);
            EXPECT_EQ(Failure(target, new_bytes), failure.Message);
        }
        EXPECT_EQ(test_files::Contents(target), old_bytes);
        EXPECT_EQ(Names(), std::vector<std::string>{"results.txt"});
    }
    // No file yet and no new file allowed: nothing is made.
    fs::remove(target);
    tFailing_file_system files(tStep::Write);
    files.Refuse_new_files = true;
    const tFile_system_replacement replacement(files);
    EXPECT_EQ(Failure(target, new_bytes), "File access denied");
    EXPECT_TRUE(fs::is_empty(folder));
}

TEST_F(FileWriter, TheReplacedFileKeepsItsPermissionsAndALinkToItStaysALink) {
    Write_file(target.string(), old_bytes);
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    const fs::path link = folder / "link.txt";
    fs::create_symlink("results.txt", link);
    Write_file(link.string(), new_bytes);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(test_files::Contents(target), new_bytes);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // A link that points nowhere yet: the file is made where it points.
    const fs::path dangling = folder / "dangling.txt";
    fs::create_symlink("made.txt", dangling);
    Write_file(dangling.string(), new_bytes);
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(test_files::Contents(folder / "made.txt"), new_bytes);
}

// A line lost to a passing failure must not be followed by the lines after it,
// which would read as a whole report with a line missing.
TEST(LineWriter, NothingIsWrittenAfterTheFirstFailure) {
    struct tSink {
        int calls = 0;
        std::string taken;
    } sink;
    cookie_io_functions_t functions{};
    functions.write = [](void* cookie, const char* bytes, std::size_t size) -> ssize_t {
        auto& sink = *static_cast<tSink*>(cookie);
        // Only the first write fails; a cookie's write reports failure as 0 bytes.
        if (++sink.calls == 1) return errno = ENOSPC, 0;
        sink.taken.append(bytes, size);
        return static_cast<ssize_t>(size);
    };
    std::FILE* stream = ::fopencookie(&sink, "w", functions);
    ASSERT_NE(stream, nullptr);
    std::setvbuf(stream, nullptr, _IONBF, 0);
    tLine_writer writer(stream);
    writer.Write("the first line");
    writer.Write("the second line");
    EXPECT_THROW(writer.Finish(), EFile_error);
    std::fclose(stream);
    EXPECT_EQ(sink.taken, "");
}
