#include "platform/ShellHooks.h"

#include "platform/Seam.h"

namespace {
Seam<ShellHooks> seam;
} // namespace

ShellHooks &Shell() {
    return seam.Get();
}

ShellHooks *SetShellHooks(ShellHooks *hooks) {
    return seam.Set(hooks);
}
