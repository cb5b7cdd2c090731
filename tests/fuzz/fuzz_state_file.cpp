// The state-file loader on arbitrary file contents: it either restores two
// entries or raises its input/output failure; it never crashes.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "assessment/input_validation.h"
#include "assessment/program_texts.h"
#include "assessment/state_file.h"

namespace {

// A folder of its own for each input, removed when the input is done: the
// fuzzer ends with _Exit, so nothing left for the end of the run would go.
class tScratch_folder {
public:
    tScratch_folder() {
        path_ = (std::filesystem::temp_directory_path() / "pavona_fuzz_state_XXXXXX").string();
        if (!mkdtemp(path_.data())) std::abort();
    }
    ~tScratch_folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    tScratch_folder(const tScratch_folder&) = delete;
    tScratch_folder& operator=(const tScratch_folder&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const tScratch_folder scratch;
    const std::string& folder = scratch.Path();
    {
        std::FILE* file = std::fopen(StateFilePath(folder).c_str(), "wb");
        if (!file) std::abort();
        std::fwrite(data, 1, size, file);
        std::fclose(file);
    }
    std::string predictors, sample_size;
    try {
        LoadPreviousData(
            folder,
            [&](const std::string& text) {
                predictors = text;
                // The worksheet converts the predictors' text at once.
                if (!text.empty() && text != "0") (void)ConvertStrictInteger(text);
            },
            [&](const std::string& text) { sample_size = text; });
    } catch (const std::runtime_error&) {
        // Refusals are the loader's way to report a bad file.
    }
    // A restored text is always a formatted number, never longer than "%1.6g" makes it.
    if (predictors.size() > 16 || sample_size.size() > 16) std::abort();
    return 0;
}
