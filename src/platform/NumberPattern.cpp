#include "NumberPattern.h"

#include "DecimalDigits.h"
#include "LocaleInfo.h"
#include "TextBuffer.h"

#include <algorithm>
#include <cstdlib>

namespace vantor::platform {

namespace {

// Splits at ";" outside quotes and escapes.
std::vector<QStringView> splitSections(QStringView pattern)
{
    std::vector<QStringView> sections;
    qsizetype start = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'"')
            quoted = !quoted;
        else if (c == u'\\' && !quoted)
            ++i;
        else if (c == u';' && !quoted) {
            sections.push_back(pattern.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.mid(start));
    return sections;
}

} // namespace

// Reads the characters of one section into its elements and counts.
class NumberPattern::SectionCompiler
{
public:
    explicit SectionCompiler(QStringView text) : m_text(text) {}
    Section compile();

private:
    void literal(QStringView t);
    void settleCommas();
    void digit(QChar c);
    bool startsExponent(qsizetype i) const;

    QStringView m_text;
    Section m_s;
    int m_pendingCommas = 0;
    bool m_afterPoint = false;
    int m_firstIntZero = -1;
    int m_lastFracZero = -1;
    int m_exponentZeros = 0;
};

void NumberPattern::SectionCompiler::literal(QStringView t)
{
    if (t.isEmpty())
        return;
    if (!m_s.elements.empty() && m_s.elements.back().item == Item::Literal)
        m_s.elements.back().text.append(t);
    else
        m_s.elements.push_back({Item::Literal, t.toString()});
}

// Commas after the last integer digit scale the number by 1000 each.
void NumberPattern::SectionCompiler::settleCommas()
{
    if (m_pendingCommas > 0 && m_s.intDigits > 0)
        m_s.pointShift -= 3 * m_pendingCommas;
    else
        literal(QString(m_pendingCommas, u','));
    m_pendingCommas = 0;
}

// A 0 or # placeholder: of the exponent, the integer part or the fraction.
void NumberPattern::SectionCompiler::digit(QChar c)
{
    if (m_s.scientific) {
        if (c == u'0')
            ++m_exponentZeros;
    } else if (!m_afterPoint) {
        if (m_pendingCommas > 0)
            m_s.grouping = true;
        m_pendingCommas = 0;
        if (c == u'0' && m_firstIntZero < 0)
            m_firstIntZero = m_s.intDigits;
        m_s.elements.push_back({Item::IntDigit, {}});
        ++m_s.intDigits;
    } else {
        if (c == u'0')
            m_lastFracZero = m_s.fracDigits;
        m_s.elements.push_back({Item::FracDigit, {}});
        ++m_s.fracDigits;
    }
}

// E+, E-, e+ or e- after a digit placeholder, once.
bool NumberPattern::SectionCompiler::startsExponent(qsizetype i) const
{
    const QChar c = m_text[i];
    return (c == u'E' || c == u'e') && i + 1 < m_text.size() &&
           (m_text[i + 1] == u'+' || m_text[i + 1] == u'-') && !m_s.scientific &&
           m_s.intDigits + m_s.fracDigits > 0;
}

NumberPattern::Section NumberPattern::SectionCompiler::compile()
{
    for (qsizetype i = 0; i < m_text.size(); ++i) {
        const QChar c = m_text[i];
        if (c == u'"') {
            const qsizetype close = m_text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? m_text.size() : close;
            literal(m_text.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < m_text.size())
                literal(m_text.mid(++i, 1));
        } else if (c == u'0' || c == u'#') {
            digit(c);
        } else if (c == u'.' && !m_afterPoint && !m_s.scientific) {
            settleCommas();
            m_s.elements.push_back({Item::Point, {}});
            m_s.hasPoint = true;
            m_afterPoint = true;
        } else if (c == u',' && !m_afterPoint && !m_s.scientific) {
            ++m_pendingCommas;
        } else if (c == u'%') {
            settleCommas();
            literal(u"%");
            m_s.pointShift += 2;
        } else if (startsExponent(i)) {
            settleCommas();
            m_s.elements.push_back({Item::Exponent, QString(c)});
            m_s.exponentPlus = m_text[i + 1] == u'+';
            m_s.scientific = true;
            ++i;
        } else {
            if (m_pendingCommas > 0 && !m_afterPoint)
                settleCommas();
            literal(m_text.mid(i, 1));
        }
    }
    settleCommas();
    m_s.intMinimum = m_firstIntZero < 0 ? 0 : m_s.intDigits - m_firstIntZero;
    m_s.fracMinimum = m_lastFracZero + 1;
    m_s.exponentMinimum = std::max(m_exponentZeros, 1);
    return m_s;
}

NumberPattern::NumberPattern(QStringView pattern)
{
    for (QStringView text : splitSections(pattern)) {
        m_sections.push_back(SectionCompiler(text).compile());
        const Section& section = m_sections.back();
        if (section.intDigits + section.fracDigits > 0)
            m_hasDigits = true;
    }
}

void NumberPattern::appendTo(TextBuffer& out, double value, const LocaleInfo& locale) const
{
    if (value < 0) {
        if (m_sections.size() >= 2 && !m_sections[1].elements.empty())
            appendSection(out, m_sections[1], -value, false, locale);
        else
            appendSection(out, m_sections[0], -value, true, locale);
    } else if (value == 0 && m_sections.size() >= 3 && !m_sections[2].elements.empty()) {
        appendSection(out, m_sections[2], 0.0, false, locale);
    } else {
        appendSection(out, m_sections[0], value == 0 ? 0.0 : value, false, locale);
    }
}

// The magnitude's digits as the section shows them: scaled by % and
// commas, rounded to its fraction places and, in scientific form, with the
// point after its integer placeholders and the exponent that makes up for it.
DecimalDigits NumberPattern::sectionDigits(const Section& section, double magnitude, int& exponent)
{
    DecimalDigits digits(magnitude);
    exponent = 0;
    if (!digits.isZero())
        digits.pointPos += section.pointShift;
    if (section.scientific && !digits.isZero()) {
        exponent = digits.pointPos - section.intDigits;
        digits.pointPos = section.intDigits;
        digits.roundToFraction(section.fracDigits);
        if (!digits.isZero() && digits.pointPos > section.intDigits) {
            exponent += digits.pointPos - section.intDigits;
            digits.pointPos = section.intDigits;
        }
    } else {
        digits.roundToFraction(section.fracDigits);
    }
    return digits;
}

void NumberPattern::appendSection(TextBuffer& out, const Section& section, double magnitude,
                                  bool minus, const LocaleInfo& locale) const
{
    int exponent = 0;
    const DecimalDigits digits = sectionDigits(section, magnitude, exponent);
    const int significantInt = digits.isZero() ? 0 : std::max(digits.pointPos, 0);
    const int shownInt = std::max(significantInt, section.intMinimum);
    const int padding = shownInt - significantInt;
    // The integer digit at a position from the left, with its group separator.
    auto emitInt = [&](int position) {
        out.append(
            static_cast<char16_t>(position < padding ? '0' : digits.digitAt(position - padding)));
        const int rank = shownInt - 1 - position;
        if (section.grouping && rank > 0 && rank % 3 == 0)
            out.append(locale.group);
    };
    auto fracDigit = [&](int j) { return digits.digitAt(digits.pointPos + j); };
    int shownFrac = section.fracDigits;
    while (shownFrac > section.fracMinimum && fracDigit(shownFrac - 1) == '0')
        --shownFrac;

    // A negative number that rounds to zero shows no sign: "-0.00" is no
    // amount a user can read.
    if (minus && !digits.isZero())
        out.append(u'-');

    int intIndex = 0;
    int fracIndex = 0;
    for (const Element& element : section.elements) {
        switch (element.item) {
        case Item::IntDigit: {
            const int rank = section.intDigits - 1 - intIndex;
            if (intIndex == 0) {
                // The first placeholder takes every digit the others leave.
                for (int p = 0; p <= shownInt - 1 - rank; ++p)
                    emitInt(p);
            } else if (shownInt - 1 - rank >= 0) {
                emitInt(shownInt - 1 - rank);
            }
            ++intIndex;
            break;
        }
        case Item::Point:
            if (section.intDigits == 0) {
                for (int p = 0; p < shownInt; ++p)
                    emitInt(p);
            }
            out.append(locale.decimal);
            break;
        case Item::FracDigit:
            if (fracIndex < shownFrac)
                out.append(static_cast<char16_t>(fracDigit(fracIndex)));
            ++fracIndex;
            break;
        case Item::Literal:
            out.append(element.text);
            break;
        case Item::Exponent:
            appendExponent(out, section, element, exponent);
            break;
        }
    }
}

void NumberPattern::appendExponent(TextBuffer& out, const Section& section, const Element& element,
                                   int exponent)
{
    out.append(element.text);
    if (exponent < 0)
        out.append(u'-');
    else if (section.exponentPlus)
        out.append(u'+');
    out.appendNumber(std::abs(exponent), section.exponentMinimum);
}

} // namespace vantor::platform
