#include "model/left_out.h"

std::string LeftOutText(const std::string &record, const std::string &records, const std::string &from,
                        std::initializer_list<LeftOutReason> reasons) {
    int total = 0, kinds = 0;
    for (const LeftOutReason &r : reasons)
        if (r.count > 0) {
            total += r.count;
            ++kinds;
        }
    if (total == 0)
        return {};
    std::string text = std::to_string(total) +
                       (total == 1 ? " " + record + " was" : " " + records + " were") + " left out of " +
                       from + ": ";
    bool first = true;
    for (const LeftOutReason &r : reasons) {
        if (r.count == 0)
            continue;
        if (!first)
            text += ", ";
        first = false;
        text += kinds == 1 ? (total == 1 ? "it " : "they ") : std::to_string(r.count) + " ";
        text += r.why;
    }
    return text + ".";
}
