#include "assessment/number_lines.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "assessment/reading_advice.h"

// Most of a file's bytes are read a run at a time, between the bytes that
// need more than the limits (line ends, Ctrl-Z, zero bytes, the head). These
// pin that such runs, however long and wherever they stop, give what byte by
// byte reading gives, from bytes and from a stream alike.

namespace {

using namespace std::string_literals;

enum class tLimit { None, Bytes, Each_line, Text };

struct tReading {
    std::vector<std::string> Lines;
    std::optional<long long> Limit_line; // the line being read when a limit was passed
    std::string Error;
};

tReading Read_all(tLine_reader& reader, tLimit limit, std::size_t amount) {
    tReading reading;
    if (limit == tLimit::Bytes) reader.Limit_bytes(amount);
    if (limit == tLimit::Each_line) reader.Limit_each_line(amount);
    if (limit == tLimit::Text) reader.Limit_text(amount);
    std::string text;
    try {
        for (int i = 0; i < 100 && reader.Next(text); ++i)
            reading.Lines.push_back(text);
    } catch (const tLimit_passed& passed) {
        reading.Limit_line = passed.Line;
    } catch (const EData_file_error& error) {
        reading.Error = error.what();
    }
    return reading;
}

// The reading from the bytes, after checking that a stream gives the same.
tReading Read(const std::string& bytes, tLimit limit = tLimit::None, std::size_t amount = 0,
              bool plain = false) {
    tLine_reader from_bytes(bytes, plain);
    const tReading reading = Read_all(from_bytes, limit, amount);
    std::FILE* stream = fmemopen(const_cast<char*>(bytes.data()), bytes.size(), "rb");
    if (!stream) {
        ADD_FAILURE() << "fmemopen";
        return reading;
    }
    tLine_reader from_stream(stream, plain);
    const tReading streamed = Read_all(from_stream, limit, amount);
    std::fclose(stream);
    EXPECT_EQ(streamed.Lines, reading.Lines);
    EXPECT_EQ(streamed.Limit_line, reading.Limit_line);
    EXPECT_EQ(streamed.Error, reading.Error);
    return reading;
}

const std::string Long_a(300, 'a');
const std::string Long_b(600, 'b');

} // namespace

TEST(LineReader, LongLinesComeWholeWhateverEndsThem) {
    const struct {
        std::string Bytes;
        std::vector<std::string> Lines;
    } cases[] = {
        {Long_a + "\n" + Long_b + "\r\n1 2\r" + Long_a, {Long_a, Long_b, "1 2", Long_a}},
        {std::string(255, 'x') + "\n" + std::string(256, 'y') + "\n" + std::string(257, 'z'),
         {std::string(255, 'x'), std::string(256, 'y'), std::string(257, 'z')}},
        // A tab inside a run stays in the text, as any blank does.
        {Long_a + "\t" + Long_b + "\n", {Long_a + "\t" + Long_b}},
        // A CR LF pair is one line end even when a run stops at its CR.
        {Long_a + "\r\n\r\n" + Long_b, {Long_a, "", Long_b}},
        // Ctrl-Z inside a run ends the data there.
        {Long_a + "\x1A" + Long_b + "\n9\n", {Long_a}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Read(c.Bytes).Lines, c.Lines) << c.Bytes.substr(0, 20);
}

TEST(LineReader, WhatRunsPastTheHeadStillRefusesAZeroByteAndKeepsPlainTextWhole) {
    EXPECT_EQ(Read(Long_a + "\0"s + Long_b).Error, Not_plain_text_message("aaaa", true));
    // A file the program wrote itself: Ctrl-Z is a blank and nothing is refused.
    const std::string own = Long_a + "\x1A\0"s + Long_b + "\n";
    EXPECT_EQ(Read(own, tLimit::None, 0, true).Lines, std::vector<std::string>{own.substr(0, 902)});
}

// Each limit is passed at the byte after its amount, inside a run or at its
// edge, and names the line being read; one byte more passes.
TEST(LineReader, ALimitIsPassedAtTheByteAfterItsAmountInsideARun) {
    // The last line has no line end: its last byte ends a run.
    const std::string bytes = "12\n" + Long_a + "\n" + Long_b;
    const struct {
        tLimit Limit;
        std::size_t Amount;
        std::optional<long long> Line;
    } cases[] = {
        // 3 bytes of line 1 with its end, 301 of line 2, 600 of line 3.
        {tLimit::Bytes, 3 + 301 + 600, std::nullopt},
        {tLimit::Bytes, 3 + 301 + 599, 3},
        {tLimit::Bytes, 3 + 300, 2}, // the line end is a byte too
        {tLimit::Bytes, 3 + 301, 3},
        // Each line's bytes, from the one after the line end before it.
        {tLimit::Each_line, 600, std::nullopt},
        {tLimit::Each_line, 599, 3},
        // The text alone.
        {tLimit::Text, 600, std::nullopt},
        {tLimit::Text, 599, 3},
        {tLimit::Text, 299, 2},
    };
    for (const auto& c : cases) {
        const tReading reading = Read(bytes, c.Limit, c.Amount);
        EXPECT_EQ(reading.Limit_line, c.Line)
            << "limit " << static_cast<int>(c.Limit) << " of " << c.Amount;
        if (!c.Line) {
            EXPECT_EQ(reading.Lines.size(), 3u);
        }
    }
    // A run that fills the text, then a blank the run leaves to the checked path.
    EXPECT_EQ(Read(Long_a + "\t\n", tLimit::Text, 300).Limit_line, 1);
}
