#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace vantor::platform {

struct DecimalDigits;
struct LocaleInfo;
class TextBuffer;

// A number pattern compiled once: up to four sections separated by ";"
// (positive and zero; negative; zero; the fourth, for null, is not used).
// In a section, 0 is a digit that is always shown, # a digit shown when
// significant, "." the decimal separator, "," between digits asks for digit
// grouping and right after the last integer digit divides by 1000, "%"
// multiplies by 100, E+/E-/e+/e- start an exponent; text in double quotes,
// a character after a backslash and every other character are literal.
class NumberPattern
{
public:
    NumberPattern() = default;
    explicit NumberPattern(QStringView pattern);

    // Whether any section has a digit placeholder.
    bool hasDigits() const { return m_hasDigits; }

    // value must be finite.
    void appendTo(TextBuffer& out, double value, const LocaleInfo& locale) const;

private:
    enum class Item : unsigned char { IntDigit, FracDigit, Point, Literal, Exponent };
    struct Element
    {
        Item item;
        QString text; // Literal: the text; Exponent: "E" or "e"
    };
    struct Section
    {
        std::vector<Element> elements;
        int intDigits = 0;   // placeholders before the point
        int intMinimum = 0;  // integer digits always shown (from the first 0)
        int fracDigits = 0;  // placeholders after the point
        int fracMinimum = 0; // fraction digits always shown (up to the last 0)
        int pointShift = 0;  // +2 per %, -3 per scaling comma
        bool grouping = false;
        bool hasPoint = false;
        bool scientific = false;
        bool exponentPlus = false; // E+ shows the sign of positive exponents
        int exponentMinimum = 1;
    };

    class SectionCompiler;
    static DecimalDigits sectionDigits(const Section& section, double magnitude, int& exponent);
    void appendSection(TextBuffer& out, const Section& section, double magnitude, bool minus,
                       const LocaleInfo& locale) const;
    static void appendExponent(TextBuffer& out, const Section& section, const Element& element,
                               int exponent);

    std::vector<Section> m_sections;
    bool m_hasDigits = false;
};

} // namespace vantor::platform
