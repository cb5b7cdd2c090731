#include "assessment/state_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

#include "tests/support/failing_file_system.h"

namespace fs = std::filesystem;

namespace {

class StateFile : public testing::Test {
protected:
    fs::path folder;
    std::string predictors = "<unset>";
    std::string sample_size = "<unset>";

    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("pavona_state_" + std::to_string(getpid()) + "_" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    void Write_state(const std::string& content) {
        std::ofstream(folder / "Pavona.txt", std::ios::binary) << content;
    }
    std::string Read_state() {
        std::ifstream in(folder / "Pavona.txt", std::ios::binary);
        std::stringstream content;
        content << in.rdbuf();
        return content.str();
    }
    bool Load() {
        return LoadPreviousData(
            folder.string(), [this](const std::string& text) { predictors = text; },
            [this](const std::string& text) { sample_size = text; });
    }
};

} // namespace

TEST_F(StateFile, SavedEntriesAreWrittenAsTypedWithCrLfAndRestoredAsNumbers) {
    SaveCurrentData(folder.string(), "3", "30.");
    EXPECT_EQ(Read_state(), "3\r\n30.\r\n");
    EXPECT_TRUE(Load());
    EXPECT_EQ(predictors, "3");
    EXPECT_EQ(sample_size, "30");

    SaveCurrentData(folder.string(), "2", "2.50"); // replaces the earlier file
    EXPECT_EQ(Read_state(), "2\r\n2.50\r\n");
    Load();
    EXPECT_EQ(sample_size, "2.5");
}

TEST_F(StateFile, ASaveThatFailsPartWayKeepsTheEntriesSavedBefore) {
    SaveCurrentData(folder.string(), "3", "30");
    const std::string saved = Read_state();
    for (const std::size_t bytes_before_failure : {0, 3}) {
        tFailing_file_system files(tFailing_file_system::tStep::Write);
        files.Bytes_before_failure = bytes_before_failure;
        const tFile_system_replacement replacement(files);
        try {
            SaveCurrentData(folder.string(), "4", "40");
            ADD_FAILURE() << "a failed save passed for a success";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "Disk full");
        }
        EXPECT_EQ(Read_state(), saved);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    }
}

TEST_F(StateFile, NoFileLeavesBothEntriesUntouched) {
    EXPECT_FALSE(Load());
    EXPECT_EQ(predictors, "<unset>");
    EXPECT_EQ(sample_size, "<unset>");
}

TEST_F(StateFile, NumbersCutOffByTheEndOfTheFileComeBackAsZero) {
    Write_state("3\r\n");
    Load();
    EXPECT_EQ(predictors, "3");
    EXPECT_EQ(sample_size, "0");

    Write_state("");
    Load();
    EXPECT_EQ(predictors, "0");
    EXPECT_EQ(sample_size, "0");
}

TEST_F(StateFile, OnlyTheNumberALineBeginsWithCounts) {
    Write_state("0 3\r\n\r\n  \t 1234567.9 trailing words\r\n");
    Load();
    EXPECT_EQ(predictors, "0");
    EXPECT_EQ(sample_size, "1.23457e+06"); // six significant digits
}

TEST_F(StateFile, LinesEndedByLfOnlyStillReadLineByLine) {
    Write_state("4 x\n25\n");
    Load();
    EXPECT_EQ(predictors, "4");
    EXPECT_EQ(sample_size, "25");
}

TEST_F(StateFile, ALineWithoutANumberStopsTheRestoreAfterTheFieldsBeforeIt) {
    Write_state("3\r\nabc\r\n");
    EXPECT_THROW(
        {
            try {
                Load();
            } catch (const std::runtime_error& error) {
                EXPECT_STREQ(error.what(), "Invalid numeric input");
                throw;
            }
        },
        std::runtime_error);
    EXPECT_EQ(predictors, "3");
    EXPECT_EQ(sample_size, "<unset>");

    // Forms the platform's number conversion would take but a decimal reader must not.
    for (const char* word : {"inf", "nan", "0x10", "1e", "."}) {
        Write_state(std::string(word) + "\r\n5\r\n");
        EXPECT_THROW(Load(), std::runtime_error) << word;
    }
}

TEST_F(StateFile, ASetterThatRaisesStopsTheRestoreBeforeTheSecondField) {
    Write_state("2.5\r\n30\r\n");
    EXPECT_THROW(LoadPreviousData(
                     folder.string(),
                     [](const std::string& text) {
                         throw std::runtime_error("'" + text + "' is not a valid integer value");
                     },
                     [this](const std::string& text) { sample_size = text; }),
                 std::runtime_error);
    EXPECT_EQ(sample_size, "<unset>");
}

TEST_F(StateFile, AFolderOfThatNameIsNoStateFile) {
    fs::create_directory(folder / "Pavona.txt");
    EXPECT_FALSE(Load());
}

TEST_F(StateFile, DeletionRemovesTheFileAndIgnoresAMissingOne) {
    SaveCurrentData(folder.string(), "3", "30");
    DeleteStateFile(folder.string());
    EXPECT_FALSE(fs::exists(folder / "Pavona.txt"));
    EXPECT_NO_THROW(DeleteStateFile(folder.string()));
    EXPECT_FALSE(Load());
}

TEST_F(StateFile, TheFirstSaveMakesAMissingFolderAndItsParents) {
    // As ~/.config/pavona on an account that has no ~/.config yet.
    const fs::path config = folder / ".config" / "pavona";
    SaveCurrentData(config.string(), "2", "40");
    EXPECT_TRUE(fs::is_regular_file(config / "Pavona.txt"));
    EXPECT_TRUE(LoadPreviousData(
        config.string(), [this](const std::string& text) { predictors = text; },
        [this](const std::string& text) { sample_size = text; }));
    EXPECT_EQ(predictors, "2");
    EXPECT_EQ(sample_size, "40");
}

TEST_F(StateFile, AFolderThatCannotBeMadeSaysTheFileIsNotFoundAsTheReaderDoes) {
    std::ofstream(folder / "plain_file") << "x";
    for (const fs::path& blocked : {folder / "plain_file", folder / "plain_file" / "pavona"}) {
        try {
            SaveCurrentData(blocked.string(), "3", "30");
            ADD_FAILURE() << "saving into " << blocked << " passed for a success";
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "File not found") << blocked;
        }
    }
}

// A folder the user cannot write to. Root writes anywhere, so the permission
// check itself can only be seen from an ordinary account; the rule that acts on
// its answer is tested below without it.
TEST_F(StateFile, AReadOnlyFolderIsNotWritableAndSavingThereIsRefused) {
    if (geteuid() == 0) GTEST_SKIP() << "root can write to any folder";
    EXPECT_TRUE(Folder_is_writable(folder.string()));
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
    const bool writable = Folder_is_writable(folder.string());
    std::string message;
    try {
        SaveCurrentData(folder.string(), "3", "30");
    } catch (const std::runtime_error& error) {
        message = error.what();
    }
    fs::permissions(folder, fs::perms::owner_all);
    EXPECT_FALSE(writable);
    EXPECT_EQ(message, "File access denied");
}

TEST(StateFilePath, IsTheNameInTheStateFolderEvenAtTheRoot) {
    EXPECT_EQ(StateFilePath(GetExeDirectory("/pavona")), "/Pavona.txt");
    EXPECT_EQ(StateFilePath("/usr/local/bin"), "/usr/local/bin/Pavona.txt");
}
