#include "platform/console_platform.h"

#include <stdexcept>

tButton tConsole_platform::Message_box(const std::string& text, tMessage_kind,
                                       const std::vector<tButton>& buttons, const std::string&) {
    std::string shown;
    shown.reserve(text.size() + 1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            shown += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i; // CR LF is one break
        } else {
            shown += text[i];
        }
    }
    shown += '\n';
    std::fputs(shown.c_str(), errors_);
    std::fflush(errors_);
    return buttons.empty() ? tButton::Ok : buttons.front();
}

void tConsole_platform::Print_text(const std::string&, const std::string&, int) {
    throw std::runtime_error("There is no default printer currently selected");
}
