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
} // namespace VBErr
