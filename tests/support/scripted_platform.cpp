#include "tests/support/scripted_platform.h"

#include <algorithm>

tButton tScripted_platform::Message_box(const std::string& text, tMessage_kind kind,
                                        const std::vector<tButton>& buttons,
                                        const std::string& title) {
    tButton answer = buttons.empty() ? tButton::Ok : buttons.front();
    if (!Box_answers.empty()) {
        answer = Box_answers.front();
        Box_answers.pop_front();
    }
    Boxes.push_back(
        {text, kind, title.empty() ? Message_kind_title(kind) : title, buttons, answer});
    Events.push_back("box: " + text);
    return answer;
}

void tScripted_platform::Beep() {
    ++Beeps;
    Events.push_back("beep");
}

std::optional<std::string> tScripted_platform::Open_file(const tOpen_file_request& request) {
    Open_requests.push_back(request);
    Events.push_back("open");
    if (Open_answers.empty()) return std::nullopt;
    auto answer = Open_answers.front();
    Open_answers.pop_front();
    return answer;
}

std::optional<std::string> tScripted_platform::Save_file(const tSave_file_request& request) {
    Save_requests.push_back(request);
    Events.push_back("save");
    if (Save_answers.empty()) return std::nullopt;
    auto answer = Save_answers.front();
    Save_answers.pop_front();
    if (!answer || request.File_types.empty()) return answer;
    std::size_t type = 0;
    if (!Save_type_answers.empty()) {
        type = Save_type_answers.front();
        Save_type_answers.pop_front();
    }
    // As the real dialog: the chosen type's extension when none was typed.
    return Path_with_file_type(*answer, request.File_types, type);
}

void tScripted_platform::Print_text(const std::string& text, const std::string& font_family,
                                    int point_size) {
    Events.push_back("print");
    if (!Printer_available)
        throw std::runtime_error("There is no default printer currently selected");
    Prints.push_back({text, font_family, point_size});
}

std::string tScripted_platform::Pdf_of_text(const std::string& text, const std::string& font_family,
                                            int point_size) {
    Events.push_back("pdf");
    Pdfs.push_back({text, font_family, point_size});
    return "%PDF-scripted " + text;
}

void tScripted_platform::Set_busy_cursor(bool busy) {
    Busy = busy;
    Events.push_back(busy ? "busy" : "idle");
}

void tScripted_platform::Process_events() {
    ++Processed_events;
}

void tScripted_platform::Clear_record() {
    Boxes.clear();
    Beeps = 0;
    Events.clear();
    Open_requests.clear();
    Save_requests.clear();
    Prints.clear();
    Pdfs.clear();
    Processed_events = 0;
}

std::vector<std::string> tScripted_platform::Box_texts() const {
    std::vector<std::string> texts(Boxes.size());
    std::transform(Boxes.begin(), Boxes.end(), texts.begin(),
                   [](const tRecorded_box& box) { return box.Text; });
    return texts;
}
