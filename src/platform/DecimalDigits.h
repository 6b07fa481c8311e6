#pragma once

namespace vantor::platform {

// The magnitude of a double as at most 15 significant decimal digits, the
// precision a double is shown with: 1.005 is "1005" with the point after the
// first digit, not 1.00499999999999989..., so that rounding it to two places
// gives 1.01 as the user expects.
//
// value = 0.d[0]d[1]...d[count-1] x 10^pointPos; no trailing zeros; count is 0
// for zero.
struct DecimalDigits
{
    explicit DecimalDigits(double magnitude); // finite, >= 0

    // Rounds half away from zero to the given number of places after the
    // decimal point.
    void roundToFraction(int places);

    bool isZero() const { return count == 0; }
    // The digit at a position counted from the first significant digit; '0'
    // outside the significant digits.
    char digitAt(int index) const { return index >= 0 && index < count ? digits[index] : '0'; }

    char digits[20];
    int count = 0;
    int pointPos = 0;

private:
    // Keeps the first `keep` digits, adding one in the last place when told.
    void keepDigits(int keep, bool roundUp);
};

} // namespace vantor::platform
