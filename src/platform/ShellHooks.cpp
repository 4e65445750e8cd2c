#include "platform/ShellHooks.h"

namespace {
ShellHooks silent;
ShellHooks* current = &silent;
} // namespace

ShellHooks& Shell() { return *current; }

ShellHooks* SetShellHooks(ShellHooks* hooks) {
    ShellHooks* previous = current == &silent ? nullptr : current;
    current = hooks ? hooks : &silent;
    return previous;
}
