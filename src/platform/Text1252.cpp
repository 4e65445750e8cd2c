#include "platform/Text1252.h"

#include <array>

namespace {

// Code points of bytes 0x80..0x9F; 0 marks the five bytes Windows-1252 leaves undefined.
constexpr std::array<char16_t, 32> high = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

} // namespace

QString ToQt(const std::string &cp1252) {
    QString out;
    out.reserve(static_cast<qsizetype>(cp1252.size()));
    for (unsigned char c : cp1252) {
        if (c >= 0x80 && c < 0xA0 && high[c - 0x80] != 0)
            out.append(QChar(high[c - 0x80]));
        else
            out.append(QChar(static_cast<char16_t>(c)));
    }
    return out;
}

std::string FromQt(const QString &text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        const bool undefinedHigh = u >= 0x80 && u < 0xA0 && high[u - 0x80] == 0;
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF) || undefinedHigh) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        char mapped = '?';
        for (std::size_t i = 0; i < high.size(); ++i)
            if (high[i] == u && u != 0)
                mapped = static_cast<char>(0x80 + i);
        out.push_back(mapped);
    }
    return out;
}

std::string UCase1252(std::string text) {
    for (char &ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7))
            ch = static_cast<char>(c - 0x20);
        else if (c == 0x9A || c == 0x9C || c == 0x9E) // š œ ž
            ch = static_cast<char>(c - 0x10);
        else if (c == 0xFF) // ÿ
            ch = static_cast<char>(0x9F);
    }
    return text;
}

std::string Trim(const std::string &text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
