#pragma once
// Realtime exchange while the program runs: polling the station readings file that a monitoring system
// keeps rewriting, and writing the results file that another program follows. Both skip their turn while
// a long operation runs (the busy flag or the hourglass pointer), and the next timer tick tries again.

// One poll of RealtimeInputFile: stores the readings and time texts of the stations it lists, applies the
// first-channel flows to every linked airway, redraws with alarm beeps and, when asked, simulates again.
// A file that cannot be read turns realtime input off with a message.
void RemoteRoutine();
// One write of RealtimeOutputFile: a heading and, while the results stand balanced, one line of 27 fields
// per airway slot, in SI units. A failed write says so once until a write succeeds again; output stays on.
void RealOutRoutine();

// A write of the results file failed and said so: no further box until a write succeeds.
extern bool RealtimeOutputFailed;

// "Activate Input" and "Activate Output": turn realtime input or output on (with one poll or write at
// once) or off, with the menu check mark and the timer.
void ToggleRealtimeInput();
void ToggleRealtimeOutput();
