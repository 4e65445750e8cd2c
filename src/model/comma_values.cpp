#include "model/comma_values.h"

#include "platform/VBError.h"

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

bool CommaValueReader::AtEnd() {
    for (;;) {
        if (haveLine_) {
            while (pos_ < line_.size() && isBlank(line_[pos_]))
                ++pos_;
            if (pos_ < line_.size())
                return false;
            haveLine_ = false;
        }
        if (!in_.ReadLine(line_))
            return true;
        pos_ = 0;
        haveLine_ = true;
    }
}

std::string CommaValueReader::Text() {
    if (AtEnd())
        throw VBError(VBErr::InputPastEnd, "input past end of file");
    while (pos_ < line_.size() && isBlank(line_[pos_]))
        ++pos_;
    std::string value;
    if (pos_ < line_.size() && line_[pos_] == '"') {
        const std::size_t close = line_.find('"', pos_ + 1);
        value = line_.substr(pos_ + 1, close == std::string::npos ? std::string::npos : close - pos_ - 1);
        pos_ = close == std::string::npos ? line_.size() : close + 1;
        const std::size_t comma = line_.find(',', pos_);
        pos_ = comma == std::string::npos ? line_.size() : comma + 1;
    } else {
        const std::size_t comma = line_.find(',', pos_);
        const std::size_t end = comma == std::string::npos ? line_.size() : comma;
        value = line_.substr(pos_, end - pos_);
        pos_ = comma == std::string::npos ? line_.size() : comma + 1;
        while (!value.empty() && isBlank(value.back()))
            value.pop_back();
    }
    // A value that ends its line leaves nothing more on it.
    if (pos_ >= line_.size())
        haveLine_ = false;
    return value;
}

double CommaValueReader::Number() {
    return LenientValue(Text());
}
