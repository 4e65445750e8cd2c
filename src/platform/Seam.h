#pragma once
// A seam through which a lower layer calls code that an upper layer installs: a silent default answers
// until the program, or a test, installs its own.
template <typename T> class Seam {
public:
    T &Get() { return *current_; }
    // Installs an implementation; nullptr restores the silent default. Returns the one installed before,
    // nullptr when that was the default.
    T *Set(T *installed) {
        T *previous = current_ == &silent_ ? nullptr : current_;
        current_ = installed != nullptr ? installed : &silent_;
        return previous;
    }

private:
    T silent_;
    T *current_ = &silent_;
};
