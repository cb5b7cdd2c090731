// Installs the build into a temporary DESTDIR with prefix /usr, as the package
// does, and checks what a desktop and `man` will look for there.

#include <gtest/gtest.h>

#include <unistd.h>

#include "tests/support/files.h"
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using test_files::Contents;
using test_files::Quoted;

// Runs a shell command; its exit status.
int Shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool Have(const char* tool) {
    return Shell(std::string("command -v ") + tool + " >/dev/null 2>&1") == 0;
}

// Width and height from a PNG's header.
std::pair<int, int> Png_size(const fs::path& path) {
    const std::string bytes = Contents(path);
    if (bytes.size() < 24) return {0, 0};
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    return {at(18) * 256 + at(19), at(22) * 256 + at(23)};
}

// The first bytes of a file.
std::string Head(const fs::path& path, std::size_t count) {
    return Contents(path).substr(0, count);
}

class Install_layout : public testing::Test {
protected:
    static void SetUpTestSuite() {
        stage_ = fs::temp_directory_path() / ("pavona_install_" + std::to_string(::getpid()));
        fs::remove_all(stage_);
        fs::create_directories(stage_);
        const std::string log = (stage_ / "install.log").string();
        installed_ =
            Shell("DESTDIR=" + Quoted(stage_.string()) + " cmake --install " +
                  Quoted(PAVONA_BUILD_DIR) + " --prefix /usr >" + Quoted(log) + " 2>&1") == 0;
        if (!installed_) std::fputs(Contents(log).c_str(), stderr);
    }
    static void TearDownTestSuite() { fs::remove_all(stage_); }
    void SetUp() override { ASSERT_TRUE(installed_) << "cmake --install failed"; }

    static fs::path Root() { return stage_ / "usr"; }

    // A compressed manual page as plain text; fails the test on a groff warning.
    static std::string Rendered(const fs::path& page) {
        const fs::path text = stage_ / "man.txt";
        const fs::path warnings = stage_ / "man.err";
        EXPECT_EQ(Shell("gzip -dc " + Quoted(page.string()) +
                        " | groff -man -Tascii -P-cbou -ww >" + Quoted(text.string()) + " 2>" +
                        Quoted(warnings.string())),
                  0);
        EXPECT_EQ(Contents(warnings), "") << page;
        return Contents(text);
    }
    static inline fs::path stage_;
    static inline bool installed_ = false;
};

// Every "--word" of a text, the word of lower-case letters and hyphens.
std::set<std::string> Long_options(const std::string& text) {
    std::set<std::string> options;
    const auto in_word = [&](std::size_t i) {
        return i < text.size() &&
               (std::islower(static_cast<unsigned char>(text[i])) || text[i] == '-');
    };
    for (std::size_t at = text.find("--"); at != std::string::npos; at = text.find("--", at)) {
        std::size_t end = at + 2;
        if (end < text.size() && std::islower(static_cast<unsigned char>(text[end])))
            while (in_word(end))
                ++end;
        if (end > at + 2) options.insert(text.substr(at, end - at));
        at = end;
    }
    return options;
}

// Whether `word` stands at the start of a line, after blanks only, as a
// whole word.
bool Starts_a_line(const std::string& text, const std::string& word) {
    for (std::size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) {
        std::size_t start = at;
        while (start > 0 && text[start - 1] == ' ')
            --start;
        const std::size_t after = at + word.size();
        const bool whole =
            after == text.size() ||
            !(std::isalnum(static_cast<unsigned char>(text[after])) || text[after] == '_');
        if ((start == 0 || text[start - 1] == '\n') && whole) return true;
    }
    return false;
}

} // namespace

TEST_F(Install_layout, TheCommandLineToolRunsFromWhereItWasInstalled) {
    const fs::path tool = Root() / "bin" / "pavona-cli";
    ASSERT_TRUE(fs::exists(tool));
    EXPECT_EQ(Shell(Quoted(tool.string()) + " --help >/dev/null"), 0);
}

TEST_F(Install_layout, TheManualPageRendersWithoutWarningAndDescribesEveryOption) {
    const fs::path page = Root() / "share" / "man" / "man1" / "pavona-cli.1.gz";
    ASSERT_TRUE(fs::exists(page));
    if (!Have("groff")) GTEST_SKIP() << "groff is not installed";
    const std::string manual = Rendered(page);
    EXPECT_NE(manual.find("EXIT STATUS"), std::string::npos);

    const fs::path help = stage_ / "help.txt";
    ASSERT_EQ(Shell(Quoted((Root() / "bin" / "pavona-cli").string()) + " --help >" +
                    Quoted(help.string())),
              0);
    const std::string usage = Contents(help);
    const std::set<std::string> options = Long_options(usage);
    EXPECT_TRUE(options.count("--jobs") && options.count("--version")) << usage;
    for (const std::string& name : options)
        EXPECT_TRUE(Starts_a_line(manual, name)) << name << " is not described";
}

TEST_F(Install_layout, DocumentsAreWhereDebianLooksCompressedWithoutNameOrTimeStamp) {
    const fs::path doc = Root() / "share" / "doc" / "pavona";
    const std::string format =
        "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n";
    EXPECT_EQ(Head(doc / "copyright", format.size()), format);

    const fs::path man = Root() / "share" / "man" / "man1";
    std::vector<fs::path> compressed = {doc / "changelog.gz", man / "pavona-cli.1.gz"};
    if (PAVONA_WITH_GUI) compressed.push_back(man / "pavona.1.gz");
    for (const fs::path& file : compressed) {
        SCOPED_TRACE(file.string());
        // gzip's header: magic, deflate, flags (no stored name), a zero time
        // stamp, then 2 for the best compression (-9).
        EXPECT_EQ(Head(file, 9), std::string("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02", 9));
    }
    if (!Have("groff")) GTEST_SKIP() << "groff is not installed";
    const std::string version = std::string("Pavona ") + PAVONA_VERSION;
    for (const fs::path& page : std::vector<fs::path>(compressed.begin() + 1, compressed.end()))
        EXPECT_NE(Rendered(page).find(version), std::string::npos) << page;
}

TEST_F(Install_layout, TheDesktopEntryIsValidAndItsIconsHaveTheirSizes) {
    if (!PAVONA_WITH_GUI) GTEST_SKIP() << "built without the windows";
    EXPECT_TRUE(fs::exists(Root() / "bin" / "pavona"));
    const fs::path entry = Root() / "share" / "applications" / "pavona.desktop";
    ASSERT_TRUE(fs::exists(entry));
    const std::string text = Contents(entry);
    EXPECT_NE(text.find("\nExec=pavona\n"), std::string::npos);
    EXPECT_NE(text.find("\nIcon=pavona\n"), std::string::npos);
    if (Have("desktop-file-validate")) {
        EXPECT_EQ(Shell("desktop-file-validate " + Quoted(entry.string()) + " >&2"), 0);
    }
    for (const int size : {48, 64, 128, 256}) {
        const std::string folder = std::to_string(size) + "x" + std::to_string(size);
        const fs::path icon =
            Root() / "share" / "icons" / "hicolor" / folder / "apps" / "pavona.png";
        ASSERT_TRUE(fs::exists(icon)) << folder;
        EXPECT_EQ(Png_size(icon), std::make_pair(size, size)) << folder;
    }
}
