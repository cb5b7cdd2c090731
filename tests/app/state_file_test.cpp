#include "app/state_file.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>
#include <string>
#include <unistd.h>

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

TEST_F(StateFile, SavingIntoAMissingFolderSaysTheFileIsNotFoundAsTheReaderDoes) {
    try {
        SaveCurrentData((folder / "missing").string(), "3", "30");
        FAIL() << "saving into a missing folder passed for a success";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "File not found");
    }
}

TEST(ExeDirectory, IsTheFolderBeforeTheFirstDotExeInAnyCase) {
    EXPECT_EQ(GetExeDirectory("C:\\Programs\\Pavona\\Pavona.exe"), "C:\\Programs\\Pavona");
    EXPECT_EQ(GetExeDirectory("C:\\Programs\\PAVONA.EXE"), "C:\\Programs");
    EXPECT_EQ(GetExeDirectory("C:\\Programs\\Pavona.ExE"), "C:\\Programs");
    EXPECT_EQ(GetExeDirectory("/opt/x/pavona.exec"), "/opt/x"); // ".exec" holds ".exe"
}

TEST(ExeDirectory, AFolderNamedLikeAnExecutableCounts) {
    EXPECT_EQ(GetExeDirectory("C:\\Data\\tools.exe\\Pavona.exe"), "C:\\Data");
    EXPECT_EQ(GetExeDirectory("/home/ann/tools.exe/bin/pavona"), "/home/ann");
    EXPECT_EQ(GetExeDirectory("D:\\a.exe"), "D:"); // state file then at "D:\Pavona.txt"
}

TEST(ExeDirectory, APathWithoutDotExeGivesTheExecutablesOwnFolder) {
    EXPECT_EQ(GetExeDirectory("/usr/local/bin/pavona"), "/usr/local/bin");
    EXPECT_EQ(GetExeDirectory("/opt/x/pavona.ex"), "/opt/x");
    EXPECT_EQ(GetExeDirectory("/opt/x/pavona."), "/opt/x");
    EXPECT_EQ(GetExeDirectory("/pavona"), ""); // the root folder
    EXPECT_EQ(StateFilePath(GetExeDirectory("/pavona")), "/Pavona.txt");
    EXPECT_EQ(StateFilePath("/usr/local/bin"), "/usr/local/bin/Pavona.txt");
}
