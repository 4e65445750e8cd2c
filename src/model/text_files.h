#pragma once
// Conventions shared by every text data file: the version line, the field splitter, the numeric field
// converters, the number forms writers use, one-line free text, and the line reader and writer.
//
// Files may come from a machine whose locale uses the other decimal separator. Text fields are never
// rewritten: the numeric converters accept both "." and "," as the decimal mark instead.
#include "platform/VBArray.h"

class QFile;

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// Takes the version and the writer's decimal separator from a file's first line. The line's second
// character becomes the local separator. Sets SeparatorConvert and FileDecimalSeparator.
void ReadVersion(std::string &line, float &version);

// Cuts one line into fields 1..100 of `fields` (unused fields empty): at TAB for files above version 2.4,
// at "," for 2.4 and below (then the last field keeps at most 30 characters). Refreshes
// LocalDecimalSeparator and LineFieldCount.
void SplitFields(float version, std::string_view line, VBArray<std::string> &fields);

// Keeps a multi-line text on one line: LF, CR and TAB become characters 29, 30 and 31, and back.
std::string &EncodeText(std::string &text);
std::string &DecodeText(std::string &text);

// Replaces control characters by blanks, so that a stored name or comment cannot break a line.
void ReplaceControlCharacters(std::string &text);

// Lenient conversion for codes, counts and flags: the leading number of the text ("." or "," as decimal
// mark, exponent allowed, blanks skipped); empty or non-numeric text gives 0.
double LenientValue(std::string_view text);
// Strict conversion for measured values: the whole text (blanks around it allowed) must be a number
// with "." or "," as decimal mark; otherwise a type-mismatch error (VBError 13).
double StrictValue(std::string_view text);
// The words True and False (any case) or a number, non-zero being True; otherwise VBError 13.
bool BooleanValue(std::string_view text);

// Narrowing as the program's assignments do it: halves to even, VBError 6 when out of range.
int32_t StrictLong(double x);
int StrictInteger(double x); // 16-bit range
float StrictSingle(double x);
// Narrowing for lenient fields, which never fail: halves to even, clamped to the range.
int32_t LenientLong(double x);
int LenientInteger(double x);  // 16-bit range
float LenientSingle(double x); // clamped to the largest single

// The significant digits of a number without trailing zeros, the first standing for 10^exponent.
struct DecimalDigits {
    char digits[24] = {};
    int count = 0;
    int exponent = 0;
};
// The digits of |x| rounded to 7 significant digits (as printf's "%.6e" gives them) when they can be had
// quickly; false for the few values that need the precise conversion, and for 0, subnormals, infinities.
bool QuickSingleDigits(float x, DecimalDigits &digits);

// Text form of a number (general format, no blanks, the locale's decimal separator): "0.05", "1E+09",
// "-3". Singles show up to 7 significant digits, doubles 15.
void AppendNumberText(std::string &out, float x, char separator);
void AppendNumberText(std::string &out, double x, char separator);
void AppendNumberText(std::string &out, int32_t x);
std::string NumberText(float x);
std::string NumberText(double x);

// Printed form of a number: a blank before a number that is not negative, a blank after every number,
// no zero before the decimal separator: " .05 ", "-3 ", " 1E+09 ".
void AppendPrintedNumber(std::string &out, float x, char separator);
void AppendPrintedNumber(std::string &out, double x, char separator);
void AppendPrintedNumber(std::string &out, int32_t x);
std::string PrintedNumber(float x);
std::string PrintedNumber(double x);
std::string PrintedNumber(int32_t x);

// The next line of `text` from `pos`, which moves behind the line's end. A line ends at CR LF, LF or CR
// (files come from other systems, tools and checkouts; any mix is read alike) or at the end of the text.
// False at the end of the text; `ended` tells whether the line had its line end.
bool NextTextLine(std::string_view text, std::size_t &pos, std::string_view &line, bool &ended);

// Reads a text file line by line, bytes as they stand, with the line ends of NextTextLine. A file is read
// in blocks as its lines are taken: an exchange file runs to megabytes, which a whole copy would first
// have to page in.
class TextFileReader {
public:
    // Opens a file; VBError 53 when it does not exist, 76 when its folder does not exist, 75 when it cannot
    // be read.
    explicit TextFileReader(const std::string &path);
    // Reads from text in memory.
    static TextFileReader FromText(std::string text);
    // One reader per file: a copy would take every other block of it.
    TextFileReader(TextFileReader &&) noexcept;
    TextFileReader &operator=(TextFileReader &&) noexcept;
    ~TextFileReader();

    bool AtEnd() const { return pos_ >= text_.size() && !file_; }
    // The whole text of a reader made from text, which reading leaves as it is (a file reader holds only the
    // block it reads).
    std::string_view Text() const { return text_; }
    // The next line; VBError 62 at the end of the file.
    std::string LineInput();
    // The next line into `line`; false at the end of the file.
    bool ReadLine(std::string &line);
    // Whether the line read last had its line end: a file being written may stop inside its last line.
    bool LineEnded() const { return lineEnded_; }

private:
    TextFileReader() = default;
    // Drops what has been read and appends the file's next block; at its end the file is let go.
    void readBlock();
    std::string text_;
    std::size_t pos_ = 0;
    bool lineEnded_ = false;
    std::unique_ptr<QFile> file_;
};

// Writes a text file whose lines end in CR LF. Output is collected and written by Close (or the
// destructor); without a path it stays in memory for Text().
class TextFileWriter {
public:
    TextFileWriter() = default;
    // Opens a file for output; VBError 76 when its folder does not exist.
    explicit TextFileWriter(const std::string &path);
    ~TextFileWriter();
    TextFileWriter(const TextFileWriter &) = delete;
    TextFileWriter &operator=(const TextFileWriter &) = delete;

    void Print(std::string_view text) { text_ += text; }
    // Room for this many bytes in all, so that a long text is not copied again and again as it grows.
    void Reserve(std::size_t bytes) { text_.reserve(bytes); }
    void PrintNumber(float x);
    void PrintNumber(double x);
    void PrintNumber(int32_t x);
    void PrintBoolean(bool x) { text_ += x ? "True" : "False"; }
    void Tab() { text_ += '\t'; }
    void EndLine() { text_ += "\r\n"; }
    // Writes the file; VBError 75 when it cannot be written. Later calls do nothing.
    void Close();
    const std::string &Text() const { return text_; }

private:
    std::string path_;
    std::string text_;
    bool closed_ = false;
};
