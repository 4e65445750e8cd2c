// Must not compile: the remote program has no include path into gustrom's sources. A test builds this
// file with the remote program's settings and expects the include to be missing.
#include "model/Gustrom1.h"

int main() {
    return 0;
}
