// Says which programs Wine runs here. A Wine that lacks the side for this
// build's word size runs nothing, prints nothing and still exits 0, which
// would pass every test that checks only the exit status; the tests under
// Wine therefore require this one to have printed its line first.
#include <cstdio>

int main() {
    std::printf("Wine runs %u-bit programs\n", static_cast<unsigned>(8 * sizeof(void*)));
    return 0;
}
