#pragma once

// The platform layer on Qt: modal boxes, beep, file dialogs, the default
// printer as a plain-text output, the busy cursor.

#include <QFont>
#include <QIcon>
#include <QString>

#include <functional>
#include <string>

class QPageLayout;
class QPagedPaintDevice;
class QPainter;
class QPrinter;

#include "platform/platform.h"

class tQt_platform : public tPlatform {
public:
    tButton Message_box(const std::string& text, tMessage_kind kind,
                        const std::vector<tButton>& buttons,
                        const std::string& title = {}) override;
    void Beep() override;
    std::optional<std::string> Open_file(const tOpen_file_request& request) override;
    std::optional<std::string> Save_file(const tSave_file_request& request) override;
    void Print_text(const std::string& text, const std::string& font_family,
                    int point_size) override;
    // Laid out on the default printer's page layout and resolution, or on
    // Qt's default page where there is no printer.
    std::string Pdf_of_text(const std::string& text, const std::string& font_family,
                            int point_size) override;
    void Set_busy_cursor(bool busy) override;
    void Process_events() override;

private:
    bool busy_ = false;
};

// A message as the box shows it: a CR (alone or before a LF) becomes a line break.
QString Display_text(const std::string& text);

// "Courier New" at the given pixel size; where it does not resolve to a
// fixed-pitch family, the platform's fixed-pitch font instead.
QFont Courier_new_font(int pixel_size);

// Paints plain text with `painter`'s font as a line printer would (see
// Plain_text_pages): each line at the left edge of the painter's viewport, one
// line spacing below the line before, the first line at the top; `new_page`
// is called between two pages.
void Paint_plain_text(QPainter& painter, const std::string& text,
                      const std::function<void()>& new_page);

// The printer's font: the family at `point_size` points, fixed pitch.
QFont Printer_font(const std::string& font_family, int point_size);

// Prints plain text on `printer` as Paint_plain_text lays it out, in the
// given fixed-pitch font, within the printable area.
void Print_plain_text(QPrinter& printer, const std::string& text, const std::string& font_family,
                      int point_size);
// The same on any paged device (a printer, a PDF writer), within its paint area.
void Print_plain_text(QPagedPaintDevice& device, const std::string& text,
                      const std::string& font_family, int point_size);

// A PDF document of plain text laid out by Print_plain_text on pages of
// `layout` at `resolution` dots per inch: given a printer's layout and
// resolution, the pages break where that printer's would.
QByteArray Plain_text_pdf(const std::string& text, const std::string& font_family, int point_size,
                          const QPageLayout& layout, int resolution);

// The program's icon, shared by both windows (PNG support is built into Qt).
QIcon PavonaIcon();

// Ends the program: what Exit answered Yes does on either window.
void End_application();
