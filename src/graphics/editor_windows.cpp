#include "graphics/editor_windows.h"

namespace {
EditorWindows silentWindows;
EditorWindows *current = &silentWindows;
} // namespace

EditorWindows &Editor() {
    return *current;
}

EditorWindows *SetEditorWindows(EditorWindows *windows) {
    EditorWindows *previous = current == &silentWindows ? nullptr : current;
    current = windows != nullptr ? windows : &silentWindows;
    return previous;
}
