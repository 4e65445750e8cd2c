#pragma once
// The one message on the records a reader left out of what it read because they were damaged: how many
// and why.
#include <initializer_list>
#include <string>

struct LeftOutReason {
    int count;
    const char *why; // as it follows "it" or "they": "could not be read"
};

// "1 airway record was left out of the network: it could not be read." or, with several reasons,
// "3 airway records were left out of the network: 2 could not be read, 1 held no airway."; empty when
// nothing was left out.
std::string LeftOutText(const std::string &record, const std::string &records, const std::string &from,
                        std::initializer_list<LeftOutReason> reasons);
