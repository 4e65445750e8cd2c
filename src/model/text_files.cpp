#include "model/text_files.h"

#include "model/Gustrom1.h"
#include "platform/System.h"
#include "platform/Text1252.h"
#include "platform/VBError.h"
#include "platform/VBMath.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

void ReadVersion(std::string &line, float &version) {
    const char local = VB::LocaleDecimalSeparator();
    SeparatorConvert = false;
    if (line.size() >= 2) {
        if (line[1] != local) {
            SeparatorConvert = true;
            FileDecimalSeparator = line[1];
        }
        line[1] = local;
    }
    version = StrictSingle(StrictValue(std::string_view(line).substr(0, 3)));
}

void SplitFields(float version, std::string_view line, VBArray<std::string> &fields) {
    const int last = std::min(100, fields.UBound());
    for (int i = 1; i <= last; ++i)
        fields(i).clear();
    LocalDecimalSeparator = VB::LocaleDecimalSeparator();
    // Versions are singles: 2.4f itself is the last comma-separated version.
    const bool tabs = version > 2.4f;
    const char separator = tabs ? '\t' : ',';
    std::size_t pos = 0;
    int count = 0;
    for (int i = 1; i <= last; ++i) {
        count = i;
        const std::size_t next = line.find(separator, pos);
        if (next == std::string_view::npos) {
            std::string_view rest = line.substr(pos);
            if (!tabs && rest.size() > 30)
                rest = rest.substr(0, 30);
            fields(i).assign(rest);
            break;
        }
        fields(i).assign(line.substr(pos, next - pos));
        pos = next + 1;
    }
    LineFieldCount = count;
}

std::string &EncodeText(std::string &text) {
    for (char &c : text) {
        if (c == '\n')
            c = 29;
        else if (c == '\r')
            c = 30;
        else if (c == '\t')
            c = 31;
    }
    return text;
}

std::string &DecodeText(std::string &text) {
    for (char &c : text) {
        if (c == 29)
            c = '\n';
        else if (c == 30)
            c = '\r';
        else if (c == 31)
            c = '\t';
    }
    return text;
}

void ReplaceControlCharacters(std::string &text) {
    for (char &c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127)
            c = ' ';
    }
}

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Scans a number at the start of s: sign, digits, one decimal mark ("." or ","), digits, and an exponent
// (E or D) when digits follow it. Returns the characters used, 0 when there is no number.
std::size_t scanNumber(std::string_view s, double &value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    const std::size_t mantissa = i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i]))
        ++i, ++digits;
    std::size_t mark = std::string_view::npos;
    if (i < s.size() && (s[i] == '.' || s[i] == ',')) {
        mark = i++;
        while (i < s.size() && isDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0;
    std::size_t exponent = std::string_view::npos;
    if (i < s.size() && (s[i] == 'E' || s[i] == 'e' || s[i] == 'D' || s[i] == 'd')) {
        std::size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            ++j;
        if (j < s.size() && isDigit(s[j])) {
            exponent = i;
            while (j < s.size() && isDigit(s[j]))
                ++j;
            i = j;
        }
    }
    const std::string_view body = s.substr(mantissa, i - mantissa);
    // Whole numbers (most fields) are exact in a double up to 15 digits and need no general parser.
    if (mark == std::string_view::npos && exponent == std::string_view::npos && digits <= 15) {
        int64_t whole = 0;
        for (const char c : body)
            whole = whole * 10 + (c - '0');
        value = negative ? -static_cast<double>(whole) : static_cast<double>(whole);
        return i;
    }
    const bool plain = (mark == std::string_view::npos || s[mark] == '.') &&
                       (exponent == std::string_view::npos || s[exponent] == 'E' || s[exponent] == 'e');
    std::string copy;
    if (!plain) {
        copy.assign(body);
        if (mark != std::string_view::npos)
            copy[mark - mantissa] = '.';
        if (exponent != std::string_view::npos)
            copy[exponent - mantissa] = 'E';
    }
    const std::string_view text = plain ? body : std::string_view(copy);
    double v = 0;
    if (std::from_chars(text.data(), text.data() + text.size(), v).ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: strtod gives the infinity or zero the value stands for.
        const std::string terminated(text);
        v = std::strtod(terminated.c_str(), nullptr);
    }
    value = negative ? -v : v;
    return i;
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

} // namespace

double LenientValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i]))
        ++i;
    double v = 0;
    if (scanNumber(text.substr(i), v) == 0)
        return 0;
    return v;
}

double StrictValue(std::string_view text) {
    text = trimBlanks(text);
    double v = 0;
    if (text.empty() || scanNumber(text, v) != text.size())
        throw VBError(VBErr::TypeMismatch, "type mismatch");
    return v;
}

bool BooleanValue(std::string_view text) {
    text = trimBlanks(text);
    auto equals = [&](std::string_view word) {
        return text.size() == word.size() &&
               std::equal(text.begin(), text.end(), word.begin(),
                          [](char a, char b) { return (a | 0x20) == (b | 0x20); });
    };
    if (equals("true"))
        return true;
    if (equals("false"))
        return false;
    return StrictValue(text) != 0;
}

int32_t StrictLong(double x) {
    const auto v = VB::CLng(x);
    if (!v)
        throw VBError(VBErr::Overflow, "overflow");
    return *v;
}

int StrictInteger(double x) {
    const auto v = VB::CInt(x);
    if (!v)
        throw VBError(VBErr::Overflow, "overflow");
    return *v;
}

float StrictSingle(double x) {
    if (!(std::fabs(x) <= FLT_MAX))
        throw VBError(VBErr::Overflow, "overflow");
    return static_cast<float>(x);
}

int32_t LenientLong(double x) {
    return VB::ClampToInt<int32_t>(VB::RoundHalfEven(x));
}
int LenientInteger(double x) {
    return VB::ClampToInt<int16_t>(VB::RoundHalfEven(x));
}
float LenientSingle(double x) {
    if (x != x)
        return 0;
    return static_cast<float>(std::clamp(x, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
}

namespace {

// The decimal digits of x rounded to `precision` significant digits without printf, which the standard
// library's precise conversions go through (slow when a file holds millions of numbers). Whole numbers
// below 10^7 are exact; otherwise the shortest decimal form serves when it is also the correct rounding:
// it has no more digits, and the value's spacing is finer than the decimal grid, which for singles fails
// at mantissas of 8 and above. False for those, subnormals and non-finite values.
template <typename F> bool quickDigits(F x, int precision, DecimalDigits &d) {
    const F magnitude = std::fabs(x);
    if (!(magnitude >= std::numeric_limits<F>::min()) || magnitude == std::numeric_limits<F>::infinity())
        return false;
    d.count = 0;
    if (magnitude < static_cast<F>(1e7) && x == std::trunc(x) && precision >= 7) {
        char whole[16];
        const char *end = std::to_chars(whole, whole + sizeof whole, static_cast<int64_t>(magnitude)).ptr;
        d.exponent = static_cast<int>(end - whole) - 1;
        while (end > whole + 1 && end[-1] == '0')
            --end;
        for (const char *p = whole; p != end; ++p)
            d.digits[d.count++] = *p;
        return true;
    }
    char scientific[64];
    const char *end =
        std::to_chars(scientific, scientific + sizeof scientific, magnitude, std::chars_format::scientific)
            .ptr;
    const char *p = scientific;
    for (; p != end && *p != 'e'; ++p)
        if (*p != '.' && d.count < static_cast<int>(sizeof d.digits))
            d.digits[d.count++] = *p;
    if (d.count > precision ||
        (sizeof(F) == 4 && (d.digits[0] >= '8' || (d.count == 1 && d.digits[0] == '1'))))
        return false;
    std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, d.exponent);
    return true;
}

// std::to_chars in general format with `precision` significant digits, mostly without printf.
template <typename F> char *generalForm(char *first, char *last, F x, int precision) {
    DecimalDigits d;
    if (!quickDigits(x, precision, d))
        return std::to_chars(first, last, x, std::chars_format::general, precision).ptr;
    char *o = first;
    if (x < 0)
        *o++ = '-';
    const auto copy = [&o](const char *from, int n) {
        for (int i = 0; i < n; ++i)
            *o++ = from[i];
    };
    if (d.exponent < -4 || d.exponent >= precision) {
        *o++ = d.digits[0];
        if (d.count > 1) {
            *o++ = '.';
            copy(d.digits + 1, d.count - 1);
        }
        *o++ = 'e';
        *o++ = d.exponent < 0 ? '-' : '+';
        const int e = d.exponent < 0 ? -d.exponent : d.exponent;
        if (e < 10)
            *o++ = '0';
        o = std::to_chars(o, last, e).ptr;
    } else if (d.exponent >= 0) {
        for (int i = 0; i <= d.exponent; ++i)
            *o++ = i < d.count ? d.digits[i] : '0';
        if (d.count > d.exponent + 1) {
            *o++ = '.';
            copy(d.digits + d.exponent + 1, d.count - d.exponent - 1);
        }
    } else {
        *o++ = '0';
        *o++ = '.';
        for (int i = 0; i < -d.exponent - 1; ++i)
            *o++ = '0';
        copy(d.digits, d.count);
    }
    return o;
}

// General format: `digits` significant digits, trailing zeros dropped, exponent as "E+09" when the
// exponent is below -4 or not below `digits`.
template <typename F> void appendGeneral(std::string &out, F x, int digits, char separator, bool printed) {
    if (x == 0) { // also -0
        out += printed ? " 0 " : "0";
        return;
    }
    if (printed && x > 0)
        out += ' ';
    char buf[64];
    char *const end = generalForm(buf, buf + sizeof buf, x, digits);
    char *b = buf;
    if (printed) {
        // The printed form has no zero before the decimal separator.
        if (b[0] == '0' && b[1] == '.')
            ++b;
        else if (b[0] == '-' && b[1] == '0' && b[2] == '.') {
            b[1] = '-';
            ++b;
        }
    }
    for (char *p = b; p != end; ++p) {
        if (*p == '.')
            out += separator;
        else if (*p == 'e')
            out += 'E';
        else
            out += *p;
    }
    if (printed)
        out += ' ';
}

void appendInteger(std::string &out, int32_t x, bool printed) {
    if (printed && x >= 0)
        out += ' ';
    char buf[16];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    out.append(buf, r.ptr);
    if (printed)
        out += ' ';
}

} // namespace

bool QuickSingleDigits(float x, DecimalDigits &digits) {
    return quickDigits(x, 7, digits);
}

void AppendNumberText(std::string &out, float x, char separator) {
    appendGeneral(out, x, 7, separator, false);
}
void AppendNumberText(std::string &out, double x, char separator) {
    appendGeneral(out, x, 15, separator, false);
}
void AppendNumberText(std::string &out, int32_t x) {
    appendInteger(out, x, false);
}

std::string NumberText(float x) {
    std::string s;
    AppendNumberText(s, x, VB::LocaleDecimalSeparator());
    return s;
}

std::string NumberText(double x) {
    std::string s;
    AppendNumberText(s, x, VB::LocaleDecimalSeparator());
    return s;
}

void AppendPrintedNumber(std::string &out, float x, char separator) {
    appendGeneral(out, x, 7, separator, true);
}
void AppendPrintedNumber(std::string &out, double x, char separator) {
    appendGeneral(out, x, 15, separator, true);
}
void AppendPrintedNumber(std::string &out, int32_t x) {
    appendInteger(out, x, true);
}

std::string PrintedNumber(float x) {
    std::string s;
    AppendPrintedNumber(s, x, VB::LocaleDecimalSeparator());
    return s;
}

std::string PrintedNumber(double x) {
    std::string s;
    AppendPrintedNumber(s, x, VB::LocaleDecimalSeparator());
    return s;
}

std::string PrintedNumber(int32_t x) {
    std::string s;
    AppendPrintedNumber(s, x);
    return s;
}

// ---- Reader ----

namespace {

// The first CR or LF at or after pos, npos when none. find_first_of tests every byte against the set one
// by one, many times slower than memchr on a whole network file; two memchr over a window each find the
// nearer of the two at memchr's speed, and the window keeps a file of one kind of line end from being
// searched to its end for the other at every line. The first bytes are looked at one by one: a drawing's
// lines are mostly a few characters long, shorter than what a memchr call costs to set up.
std::size_t lineEndFrom(std::string_view text, std::size_t pos) {
    constexpr std::size_t Window = 512, Short = 16;
    const char *const bytes = text.data();
    for (const std::size_t stop = std::min(text.size(), pos + Short); pos < stop; ++pos)
        if (bytes[pos] == '\n' || bytes[pos] == '\r')
            return pos;
    while (pos < text.size()) {
        const std::size_t length = std::min(Window, text.size() - pos);
        const void *lf = std::memchr(bytes + pos, '\n', length);
        const std::size_t upTo =
            lf != nullptr ? static_cast<std::size_t>(static_cast<const char *>(lf) - bytes) : pos + length;
        if (const void *cr = std::memchr(bytes + pos, '\r', upTo - pos))
            return static_cast<std::size_t>(static_cast<const char *>(cr) - bytes);
        if (lf != nullptr)
            return upTo;
        pos += length;
    }
    return std::string_view::npos;
}

} // namespace

bool NextTextLine(std::string_view text, std::size_t &pos, std::string_view &line, bool &ended) {
    if (pos >= text.size())
        return false;
    const std::size_t end = lineEndFrom(text, pos);
    ended = end != std::string_view::npos;
    if (!ended) {
        line = text.substr(pos);
        pos = text.size();
        return true;
    }
    line = text.substr(pos, end - pos);
    pos = end + 1;
    if (text[end] == '\r' && pos < text.size() && text[pos] == '\n')
        ++pos;
    return true;
}

TextFileReader::TextFileReader(const std::string &path) {
    const QString name = ToQt(path);
    file_ = std::make_unique<QFile>(name);
    if (!file_->exists()) {
        const QFileInfo info(name);
        throw VBError(info.absoluteDir().exists() ? VBErr::FileNotFound : VBErr::PathNotFound, "cannot open");
    }
    if (!file_->open(QIODevice::ReadOnly))
        throw VBError(75, "path/file access error");
    readBlock();
}

TextFileReader::TextFileReader(TextFileReader &&) noexcept = default;
TextFileReader &TextFileReader::operator=(TextFileReader &&) noexcept = default;
TextFileReader::~TextFileReader() = default;

TextFileReader TextFileReader::FromText(std::string text) {
    TextFileReader r;
    r.text_ = std::move(text);
    return r;
}

void TextFileReader::readBlock() {
    constexpr qint64 Block = 1 << 16;
    text_.erase(0, pos_);
    pos_ = 0;
    const std::size_t held = text_.size();
    text_.resize(held + static_cast<std::size_t>(Block));
    const qint64 got = file_->read(text_.data() + held, Block);
    text_.resize(held + static_cast<std::size_t>(std::max<qint64>(got, 0)));
    if (got < 0)
        throw VBError(75, "path/file access error");
    if (got == 0)
        file_.reset();
}

bool TextFileReader::ReadLine(std::string &line) {
    for (;;) {
        std::size_t next = pos_;
        std::string_view found;
        bool ended = false;
        const bool got = NextTextLine(text_, next, found, ended);
        // A line is whole once its end is held, and a CR's LF cannot stand in the block still to read.
        if (file_ && !(got && ended && (next < text_.size() || text_[next - 1] == '\n'))) {
            readBlock();
            continue;
        }
        if (!got)
            return false;
        line.assign(found);
        pos_ = next;
        lineEnded_ = ended;
        if (pos_ >= text_.size() && file_)
            readBlock();
        return true;
    }
}

std::string TextFileReader::LineInput() {
    std::string line;
    if (!ReadLine(line))
        throw VBError(VBErr::InputPastEnd, "input past end of file");
    return line;
}

// ---- Writer ----

TextFileWriter::TextFileWriter(const std::string &path) : path_(path) {
    const QFileInfo info(ToQt(path));
    if (!info.absoluteDir().exists())
        throw VBError(VBErr::PathNotFound, "path not found");
}

TextFileWriter::~TextFileWriter() {
    try {
        Close();
    } catch (const VBError &) {
        // A destructor cannot report; callers that care call Close themselves.
    }
}

void TextFileWriter::PrintNumber(float x) {
    AppendPrintedNumber(text_, x, VB::LocaleDecimalSeparator());
}
void TextFileWriter::PrintNumber(double x) {
    AppendPrintedNumber(text_, x, VB::LocaleDecimalSeparator());
}
void TextFileWriter::PrintNumber(int32_t x) {
    AppendPrintedNumber(text_, x);
}

void TextFileWriter::Close() {
    if (closed_ || path_.empty())
        return;
    closed_ = true;
    QFile file(ToQt(path_));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw VBError(75, "path/file access error");
    const auto written = file.write(text_.data(), static_cast<qint64>(text_.size()));
    if (written != static_cast<qint64>(text_.size()))
        throw VBError(61, "disk full");
}
