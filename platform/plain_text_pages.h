#pragma once

// Lays plain text out as a line printer does: every line starts at the left
// edge, a line too wide for the page continues on the next line, a tab
// advances to the next multiple of eight columns, and a new page starts when
// the next line would not fit.

#include <string>
#include <vector>

using tPage = std::vector<std::string>;

// `columns` characters fit across a page and `lines` lines down it (each at
// least 1). A final line end does not start another line; CR LF and CR end
// lines as LF does.
std::vector<tPage> Plain_text_pages(const std::string& text, int columns, int lines);
