// A tiny program for the demo: Mossgrain counts these lines.
#include "math/vector.h"

#include <cstdio>

/* Prints the length of a vector,
   rounded to two places. */
int main() {
    Vector v{3.0, 4.0};

    std::printf("%.2f\n", v.Length());  // 5.00
    return 0;
}
