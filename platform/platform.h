#pragma once

// The platform services the forms and the input checks use: message boxes,
// the beep, file dialogs, the printer, the cursor. The program wires them to
// Qt; the tests wire them to a scripted fake; the command-line tool writes the
// boxes to standard error. Nothing here depends on Qt.

#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

enum class tMessage_kind { Warning, Error, Information, Confirmation };
enum class tButton { Yes, No, Ok };

// Title of the default error box: "Pavona".
extern const std::string ApplicationTitle;

// Button sets used by the program's boxes.
inline const std::vector<tButton> Ok_button = {tButton::Ok};
inline const std::vector<tButton> Yes_no_buttons = {tButton::Yes, tButton::No};

// The title and the button captions the boxes carry.
const char* Message_kind_title(tMessage_kind kind); // "Warning", "Error", ...
const char* Button_caption(tButton button);         // "&Yes", "&No", "OK"

struct tOpen_file_request {
    std::string Start_folder;       // the dialog starts here
    std::string Filter_description; // "Text files only"
    std::string Filter_pattern;     // "*.txt"
};

// One entry of a save dialog's file type list: "PNG image", "png".
struct tFile_type {
    std::string Description;
    std::string Extension; // without the point
};

struct tSave_file_request {
    std::string Default_name;   // "results.txt"
    std::string Filter_pattern; // "*.txt"
    bool Ask_before_overwrite = true;
    // When given, the dialog lists these types instead of Filter_pattern, and
    // the path it returns ends in one of their extensions (see
    // Path_with_file_type), so the caller can tell the type from the path.
    std::vector<tFile_type> File_types;
};

// `path` when it already ends in one of the types' extensions (in any case),
// otherwise `path` with the extension of the type chosen in the dialog added.
std::string Path_with_file_type(const std::string& path, const std::vector<tFile_type>& types,
                                std::size_t chosen);

class tPlatform {
public:
    virtual ~tPlatform() = default;

    // Modal box; returns the button pressed. `title` overrides the kind's title
    // (the default error handler titles its box with the program's name).
    virtual tButton Message_box(const std::string& text, tMessage_kind kind,
                                const std::vector<tButton>& buttons,
                                const std::string& title = {}) = 0;
    virtual void Beep() = 0;
    // The chosen file's path, or nothing when the dialog was cancelled.
    virtual std::optional<std::string> Open_file(const tOpen_file_request& request) = 0;
    virtual std::optional<std::string> Save_file(const tSave_file_request& request) = 0;
    // Prints plain text on the default printer in the given fixed-pitch font;
    // raises std::runtime_error("There is no default printer currently selected")
    // when there is none.
    virtual void Print_text(const std::string& text, const std::string& font_family,
                            int point_size) = 0;
    // The bytes of a PDF file holding `text` laid out exactly as Print_text
    // lays it out on the default printer's pages. Platforms without PDF output
    // raise std::runtime_error.
    virtual std::string Pdf_of_text(const std::string& text, const std::string& font_family,
                                    int point_size);
    virtual void Set_busy_cursor(bool busy) = 0;
    virtual void Process_events() = 0;
};

// The default error handler: shows the exception's message in an error box
// titled with the program's name, with an OK button, adding a full stop when
// the message's last character's code is above that of the full stop.
void Show_default_error(tPlatform& platform, const std::exception& error);
void Show_default_error(tPlatform& platform, const std::string& message);
std::string With_full_stop(const std::string& message);

// Runs an event handler; whatever escapes it ends in the default error box, so
// the windowing toolkit never sees an exception.
void Run_guarded(tPlatform& platform, const std::function<void()>& handler);
