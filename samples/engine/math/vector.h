#pragma once

#include <cmath>

// A two-dimensional vector.
struct Vector {
    double x, y;

    double Length() const { return std::sqrt(x * x + y * y); }
};
