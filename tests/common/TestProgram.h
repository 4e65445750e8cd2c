#pragma once
// The body of every test program: the application object, GoogleTest, and the state the program starts
// with noted before the first test (capture) and put back before each (reset).
int RunTestProgram(int argc, char **argv, void (*capture)(), void (*reset)());
