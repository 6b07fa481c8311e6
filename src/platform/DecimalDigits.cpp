#include "DecimalDigits.h"

#include <charconv>
#include <cstdlib>

namespace vantor::platform {

namespace {

// Reads "d.ddde[+-]XX" as written by std::to_chars in scientific form.
void readScientific(const char* p, const char* end, char* digits, int& count, int& pointPos)
{
    count = 0;
    digits[count++] = *p++;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9')
            digits[count++] = *p++;
    }
    int exponent = 0;
    if (p < end && *p == 'e') {
        ++p;
        const bool negative = *p == '-';
        if (*p == '-' || *p == '+')
            ++p;
        std::from_chars(p, end, exponent);
        if (negative)
            exponent = -exponent;
    }
    pointPos = exponent + 1;
}

} // namespace

DecimalDigits::DecimalDigits(double magnitude)
{
    if (magnitude == 0)
        return;
    // The shortest digits that read back as the same double are, when there
    // are at most 15 of them, exactly its 15-digit rounding; they are also
    // several times cheaper to get than a fixed precision.
    char text[40];
    auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific);
    readScientific(text, result.ptr, digits, count, pointPos);
    if (count > 15) {
        // 16 or 17 digits: round at the 15th, unless the rest is so near a
        // half that the double's exact value must decide.
        if (digits[15] == '4' || digits[15] == '5') {
            result = std::to_chars(text, text + sizeof text, magnitude,
                                   std::chars_format::scientific, 14);
            readScientific(text, result.ptr, digits, count, pointPos);
        } else {
            keepDigits(15, digits[15] > '5');
        }
    }
    while (count > 0 && digits[count - 1] == '0')
        --count;
}

void DecimalDigits::keepDigits(int keep, bool roundUp)
{
    count = keep;
    if (!roundUp)
        return;
    // Carry the one into the digits kept: 0.999 becomes 1.
    int i = keep - 1;
    while (i >= 0 && digits[i] == '9')
        --i;
    if (i < 0) {
        digits[0] = '1';
        count = 1;
        ++pointPos;
    } else {
        ++digits[i];
        count = i + 1;
    }
}

void DecimalDigits::roundToFraction(int places)
{
    const int keep = pointPos + places;
    if (count <= keep)
        return;
    if (keep < 0) {
        count = 0;
        return;
    }
    keepDigits(keep, digits[keep] >= '5');
    while (count > 0 && digits[count - 1] == '0')
        --count;
}

} // namespace vantor::platform
