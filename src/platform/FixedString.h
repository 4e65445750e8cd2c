#pragma once
// A fixed-length text: assignment pads with blanks or cuts to N characters, like the model's
// 40-character names and 12-character comments.
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

template <std::size_t N> class FixedString {
public:
    FixedString() : text_(N, ' ') {}
    FixedString(std::string_view s) { assign(s); }
    FixedString &operator=(std::string_view s) {
        assign(s);
        return *this;
    }
    FixedString &operator=(const std::string &s) { return *this = std::string_view(s); }
    FixedString &operator=(const char *s) { return *this = std::string_view(s); }

    const std::string &str() const { return text_; }
    operator const std::string &() const { return text_; }
    // The text without the trailing blanks.
    std::string trimmed() const {
        const auto end = text_.find_last_not_of(' ');
        return end == std::string::npos ? std::string() : text_.substr(0, end + 1);
    }
    bool operator==(const FixedString &o) const { return text_ == o.text_; }
    static constexpr std::size_t Length = N;

private:
    std::string text_;
    void assign(std::string_view s) {
        text_.assign(s.substr(0, std::min(s.size(), N)));
        text_.resize(N, ' ');
    }
};
