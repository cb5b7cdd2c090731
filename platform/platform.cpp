#include "platform/platform.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

// The executable's name up to its first point, first letter capital and the
// rest lower case, as the default error box shows it.
const std::string ApplicationTitle = "Pavona";

const char* Message_kind_title(tMessage_kind kind) {
    switch (kind) {
    case tMessage_kind::Warning:
        return "Warning";
    case tMessage_kind::Error:
        return "Error";
    case tMessage_kind::Information:
        return "Information";
    case tMessage_kind::Confirmation:
        return "Confirm";
    }
    return "";
}

const char* Button_caption(tButton button) {
    switch (button) {
    case tButton::Yes:
        return "&Yes";
    case tButton::No:
        return "&No";
    case tButton::Ok:
        return "OK";
    }
    return "";
}

std::string tPlatform::Pdf_of_text(const std::string&, const std::string&, int) {
    throw std::runtime_error("There is no PDF output here");
}

std::string With_full_stop(const std::string& message) {
    // Compared as unsigned so that a message ending in a non-ASCII byte also
    // counts as "above the full stop".
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') return message + ".";
    return message;
}

void Show_default_error(tPlatform& platform, const std::string& message) {
    platform.Message_box(With_full_stop(message), tMessage_kind::Error, Ok_button,
                         ApplicationTitle);
}

void Show_default_error(tPlatform& platform, const std::exception& error) {
    Show_default_error(platform, std::string(error.what()));
}

void Run_guarded(tPlatform& platform, const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        Show_default_error(platform, error);
    } catch (...) {
        Show_default_error(platform, "Unexpected failure");
    }
}

std::string Path_with_file_type(const std::string& path, const std::vector<tFile_type>& types,
                                std::size_t chosen) {
    if (types.empty()) return path;
    // Only the last component's extension counts: "my.folder/picture" has none.
    const std::size_t slash = path.find_last_of('/');
    const std::size_t point = path.find_last_of('.');
    if (point != std::string::npos && (slash == std::string::npos || point > slash)) {
        std::string typed = path.substr(point + 1);
        std::transform(typed.begin(), typed.end(), typed.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        for (const tFile_type& type : types)
            if (typed == type.Extension) return path;
    }
    const tFile_type& type = types[std::min(chosen, types.size() - 1)];
    return path + "." + type.Extension;
}
