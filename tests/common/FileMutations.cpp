#include "common/FileMutations.h"

namespace {

const char *const Replacements[] = {
    "",        "-1",     "0",  "99999999", "-2147483649", "1E+300",     "NaN",         "-1E+38",
    "3.4E+39", "abc",    "\t", ",",        "**End of Fa", "End of Tag", "**END OF RL", "End of saved views",
    "32767",   "-32768", "1.5"};

} // namespace

std::string Mutate(std::string text, std::mt19937 &random) {
    const int edits = 1 + static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
        const std::size_t at = random() % text.size();
        switch (random() % 7) {
        case 0: // flip a byte
            text[at] = static_cast<char>(random() % 256);
            break;
        case 1: { // drop a line
            const std::size_t start = text.rfind('\n', at);
            const std::size_t end = text.find('\n', at);
            text.erase(start == std::string::npos ? 0 : start,
                       end == std::string::npos ? std::string::npos
                                                : end - (start == std::string::npos ? 0 : start));
            break;
        }
        case 2: { // repeat a line
            const std::size_t start = text.rfind('\n', at);
            const std::size_t end = text.find('\n', at);
            const std::size_t from = start == std::string::npos ? 0 : start + 1;
            const std::string line =
                text.substr(from, end == std::string::npos ? std::string::npos : end - from + 1);
            text.insert(from, line);
            break;
        }
        case 3: // cut the file short
            text.resize(at);
            break;
        default: { // replace one field with an awkward value
            std::size_t start = text.find_last_of("\t\n,", at);
            start = start == std::string::npos ? 0 : start + 1;
            std::size_t end = text.find_first_of("\t\r,", start);
            if (end == std::string::npos)
                end = text.size();
            text.replace(start, end - start,
                         Replacements[random() % (sizeof Replacements / sizeof Replacements[0])]);
            break;
        }
        }
    }
    return text;
}

std::string WithLineEnds(const std::string &crlfText, const std::vector<std::string> &ends) {
    std::string text;
    std::size_t pos = 0, k = 0;
    for (std::size_t end; (end = crlfText.find("\r\n", pos)) != std::string::npos; pos = end + 2) {
        text.append(crlfText, pos, end - pos);
        text += ends[k++ % ends.size()];
    }
    text.append(crlfText, pos);
    return text;
}
