#pragma once

// The user's notes: one rule for their length and their lines, shared by the
// worksheet's notes memo and pavona-cli so both accept the same notes.

#include <cstddef>
#include <string>
#include <vector>

// The notes hold at most this many characters, counted as a notes memo counts
// them: every character, and two (CR LF) for each line break.
inline constexpr std::size_t Max_notes_length = 250;

// The length of a notes text whose lines are separated by '\n'. Characters
// are counted, not bytes: a UTF-8 continuation byte adds nothing.
std::size_t Notes_length(const std::string& text);
// The same for notes given as lines (joined by line breaks).
std::size_t Notes_length(const std::vector<std::string>& lines);

// The notes text as the report's lines: split at '\n'; a final line break does
// not start another line, and an empty text has no lines.
std::vector<std::string> Notes_lines(const std::string& text);

// pavona-cli's refusal of notes that are too long.
std::string Notes_too_long_message(std::size_t length);
