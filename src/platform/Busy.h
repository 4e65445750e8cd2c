#pragma once
// One flag for the long operations (simulation, contaminant spread, import). They let window events run
// while they work, so a menu command, an edit or a timer could otherwise start a second operation on the
// half-changed network. Commands and timers test IsBusy() and do nothing while it is set; the long
// operations hold a BusyScope for their whole run.
namespace VB {

bool IsBusy();

// Takes the flag when it is free; Acquired() tells whether this scope holds it. The flag is released
// when the holding scope ends.
class BusyScope {
public:
    BusyScope();
    ~BusyScope();
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;
    bool Acquired() const { return acquired_; }

private:
    bool acquired_;
};

} // namespace VB
