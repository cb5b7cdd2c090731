#include "assessment/state_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

#include "assessment/number_lines.h"
#include "assessment/program_texts.h"
#include "distributions/decimal_conversion.h"
#include "distributions/text_format.h"
#include "platform/file_writer.h"
#include "platform/state_folder.h"
#include "platform/system_error_message.h"

namespace {

struct tFile_closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using tFile = std::unique_ptr<std::FILE, tFile_closer>;

// Only regular files count: a folder of that name is no state file, and a
// named pipe would block the start-up forever.
bool State_file_exists(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

std::string Read_whole_file(const std::string& path) {
    errno = 0;
    tFile file(std::fopen(path.c_str(), "rb"));
    if (!file) throw EFile_error(errno);
    std::string content;
    char buffer[4096];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        content.append(buffer, count);
    if (std::ferror(file.get())) throw EFile_error(Last_error_or_io());
    return content;
}

// The leading number of the next line holding a word, as Pascal's read
// takes it: lines of blanks are passed over, the end of the file gives 0.
class tNumber_reader {
public:
    explicit tNumber_reader(std::string text) : text_(std::move(text)), lines_(text_, true) {}

    // One number, then the rest of its line with its line end.
    double Read_line_number() {
        std::string line, word;
        // Each pass takes a line; the file holds fewer lines than bytes.
        for (std::size_t pass = 0; pass <= text_.size() && word.empty(); ++pass) {
            if (!lines_.Next(line)) return 0;
            For_each_word(line, 1, [&](std::string_view first, bool) { word = first; });
        }
        // Only the word's first 64 bytes are read.
        word.resize(std::min<std::size_t>(word.size(), 64));
        if (!Is_decimal_number(word)) throw std::runtime_error("Invalid numeric input");
        const auto value = Decimal_to_double(std::string_view(word).substr(word[0] == '+'));
        if (!value) throw std::runtime_error("Invalid numeric input");
        return *value;
    }

private:
    std::string text_;
    tLine_reader lines_;
};

} // namespace

std::string StateFilePath(const std::string& folder) {
    return folder + Path_separator + StateFileName;
}

std::string FormatStateNumber(double value) {
    return Format_text("%.6g", value);
}

bool LoadPreviousData(const std::string& folder,
                      const std::function<void(const std::string&)>& set_predictors,
                      const std::function<void(const std::string&)>& set_sample_size) {
    const std::string path = StateFilePath(folder);
    if (!State_file_exists(path)) return false;
    tNumber_reader reader(Read_whole_file(path));
    set_predictors(FormatStateNumber(reader.Read_line_number()));
    set_sample_size(FormatStateNumber(reader.Read_line_number()));
    return true;
}

void SaveCurrentData(const std::string& folder, const std::string& predictors,
                     const std::string& sample_size) {
    const std::string path = StateFilePath(folder);
    if (!folder.empty()) {
        std::error_code error;
        if (!std::filesystem::is_directory(folder, error)) {
            std::filesystem::create_directories(folder, error);
            // A file where a folder should be reads as a folder on the way missing.
            if (error) throw EFile_error(error.value() == EEXIST ? ENOTDIR : error.value());
        }
    }
    // Replaced whole or not at all: a failed save keeps the entries saved before.
    Write_file(path, predictors + "\r\n" + sample_size + "\r\n");
}

void DeleteStateFile(const std::string& folder) {
    const std::string path = StateFilePath(folder);
    if (State_file_exists(path)) std::remove(path.c_str());
}
