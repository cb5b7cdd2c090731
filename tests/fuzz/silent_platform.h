#pragma once

// A platform that answers every box with its first button and every dialog
// with a cancel, and shows nothing: fuzz targets run the checks for their
// failures, not for what the user would see.

#include "platform/platform.h"

class tSilent_platform : public tPlatform {
public:
    int Boxes = 0;
    tButton Message_box(const std::string&, tMessage_kind, const std::vector<tButton>& buttons,
                        const std::string& = {}) override {
        ++Boxes;
        return buttons.empty() ? tButton::Ok : buttons.front();
    }
    void Beep() override {}
    std::optional<std::string> Open_file(const tOpen_file_request&) override { return {}; }
    std::optional<std::string> Save_file(const tSave_file_request&) override { return {}; }
    void Print_text(const std::string&, const std::string&, int) override {}
    void Set_busy_cursor(bool) override {}
    void Process_events() override {}
};
