#pragma once
// A run-time error with the number the program's messages use (53 file not found, 68 drive not
// available, 76 path not found, 6 overflow, 13 type mismatch, 9 subscript out of range, ...).
#include <stdexcept>
#include <string>

struct VBError : std::runtime_error {
    int number;
    explicit VBError(int n, const std::string &what = "run-time error")
        : std::runtime_error(what), number(n) {}
};

namespace VBErr {
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int InputPastEnd = 62;
constexpr int DriveNotAvailable = 68;
constexpr int PathNotFound = 76;
constexpr int InvalidPropertyValue = 380;
} // namespace VBErr

// The message of a file error: the reader's own text for 53 (file not found), the standard texts for 68 and
// 76, and `otherText` for any other number.
inline std::string FileErrorText(int number, const std::string &notFoundText, const std::string &otherText) {
    switch (number) {
    case VBErr::FileNotFound:
        return notFoundText;
    case VBErr::DriveNotAvailable:
        return "ERROR 68: Drive not available.";
    case VBErr::PathNotFound:
        return "ERROR 76: That path doesn't exist.";
    default:
        return otherText;
    }
}
