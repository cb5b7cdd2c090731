#pragma once

// The platform services of the command-line tool: every box's text goes to
// standard error (a CR shown as a line break); there is no beep, no dialog and
// no printer.

#include <cstdio>

#include "platform/platform.h"

class tConsole_platform : public tPlatform {
public:
    explicit tConsole_platform(std::FILE* errors = stderr) : errors_(errors) {}

    // Writes the text and answers with the box's first button (OK for a
    // single-button box); nobody is there to choose.
    tButton Message_box(const std::string& text, tMessage_kind kind,
                        const std::vector<tButton>& buttons,
                        const std::string& title = {}) override;
    void Beep() override {}
    std::optional<std::string> Open_file(const tOpen_file_request&) override {
        return std::nullopt;
    }
    std::optional<std::string> Save_file(const tSave_file_request&) override {
        return std::nullopt;
    }
    // Raises as on a machine without a printer.
    void Print_text(const std::string& text, const std::string& font_family,
                    int point_size) override;
    void Set_busy_cursor(bool) override {}
    void Process_events() override {}

private:
    std::FILE* errors_;
};
