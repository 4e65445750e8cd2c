#pragma once
// Values of the old comma-separated files, read one after the other across lines: a value ends at a
// comma or at the end of its line; a text may be quoted.
#include "model/text_files.h"

#include <string>

class CommaValueReader {
public:
    explicit CommaValueReader(TextFileReader &in) : in_(in) {}
    // True when no value is left in the file.
    bool AtEnd();
    // The next value as text (quotes removed, blanks around it dropped); VBError 62 past the end.
    std::string Text();
    // The next value as a number (leading number, "." as decimal mark; other text gives 0).
    double Number();

private:
    TextFileReader &in_;
    std::string line_;
    std::size_t pos_ = 0;
    bool haveLine_ = false;
};
