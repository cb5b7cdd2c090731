#pragma once

// A scripted stand-in for the platform layer: records every box, beep, dialog,
// print job and cursor change, and answers boxes and dialogs from queues
// (a box without a scripted answer gets its first button, a dialog without one
// is cancelled).

#include <deque>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/platform.h"

struct tRecorded_box {
    std::string Text;
    tMessage_kind Kind;
    std::string Title; // as shown: the kind's title unless the caller gave one
    std::vector<tButton> Buttons;
    tButton Answer;
};

struct tRecorded_print {
    std::string Text;
    std::string Font_family;
    int Point_size;
};

class tScripted_platform : public tPlatform {
public:
    // Answers, taken from the front.
    std::deque<tButton> Box_answers;
    std::deque<std::optional<std::string>> Open_answers;
    std::deque<std::optional<std::string>> Save_answers;
    // The file type picked in a dialog that lists types (index into the
    // request's File_types; the first when none is scripted).
    std::deque<std::size_t> Save_type_answers;
    bool Printer_available = true;

    // What happened.
    std::vector<tRecorded_box> Boxes;
    int Beeps = 0;
    std::vector<std::string>
        Events; // "beep", "box: <text>", "open", "save", "print", "pdf", "busy", "idle"
    std::vector<tOpen_file_request> Open_requests;
    std::vector<tSave_file_request> Save_requests;
    std::vector<tRecorded_print> Prints;
    std::vector<tRecorded_print> Pdfs; // what Pdf_of_text was given
    bool Busy = false;
    int Processed_events = 0;

    tButton Message_box(const std::string& text, tMessage_kind kind,
                        const std::vector<tButton>& buttons,
                        const std::string& title = {}) override;
    void Beep() override;
    std::optional<std::string> Open_file(const tOpen_file_request& request) override;
    std::optional<std::string> Save_file(const tSave_file_request& request) override;
    void Print_text(const std::string& text, const std::string& font_family,
                    int point_size) override;
    // A stand-in document: "%PDF-scripted " followed by the text.
    std::string Pdf_of_text(const std::string& text, const std::string& font_family,
                            int point_size) override;
    void Set_busy_cursor(bool busy) override;
    void Process_events() override;

    // Forgets what was recorded (the answer queues stay).
    void Clear_record();
    // The texts of the boxes shown, in order.
    std::vector<std::string> Box_texts() const;
};
