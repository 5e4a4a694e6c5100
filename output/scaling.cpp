// Scaled integer arithmetic of the output.

#include "scaling.h"

#include <cstdint>
#include <limits>

int MulDiv(int value, int numerator, int denominator)
{
    if (denominator == 0)
        return -1;
    // Two ints multiply exactly in 64 bits; only the quotient may not fit.
    const std::int64_t product = std::int64_t(value) * numerator;
    std::int64_t quotient = product / denominator;
    const std::int64_t remainder = product % denominator;
    // Halves round away from zero: compare twice the remainder with the divisor.
    const std::int64_t twice = remainder < 0 ? -2 * remainder : 2 * remainder;
    const std::int64_t divisor = denominator < 0 ? -std::int64_t(denominator) : denominator;
    if (twice >= divisor)
        quotient += (product < 0) == (denominator < 0) ? 1 : -1;
    if (quotient < std::numeric_limits<int>::min() || quotient > std::numeric_limits<int>::max())
        return -1;
    return int(quotient);
}

int TenthsMmToDevice(int tenths, int dotsPerInch)
{
    return MulDiv(tenths, dotsPerInch, 254);
}
