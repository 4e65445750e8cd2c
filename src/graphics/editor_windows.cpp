#include "graphics/editor_windows.h"

#include "platform/Seam.h"

namespace {
Seam<EditorWindows> seam;
} // namespace

EditorWindows &Editor() {
    return seam.Get();
}

EditorWindows *SetEditorWindows(EditorWindows *windows) {
    return seam.Set(windows);
}
