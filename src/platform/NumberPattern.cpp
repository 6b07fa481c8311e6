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

NumberPattern::NumberPattern(QStringView pattern)
{
    for (QStringView text : splitSections(pattern)) {
        m_sections.push_back(compileSection(text));
        const Section& section = m_sections.back();
        if (section.intDigits + section.fracDigits > 0)
            m_hasDigits = true;
    }
}

NumberPattern::Section NumberPattern::compileSection(QStringView text)
{
    Section s;
    auto literal = [&s](QStringView t) {
        if (t.isEmpty())
            return;
        if (!s.elements.empty() && s.elements.back().item == Item::Literal)
            s.elements.back().text.append(t);
        else
            s.elements.push_back({Item::Literal, t.toString()});
    };
    int pendingCommas = 0;
    // Commas after the last integer digit scale the number by 1000 each.
    auto settleCommas = [&] {
        if (pendingCommas > 0 && s.intDigits > 0)
            s.pointShift -= 3 * pendingCommas;
        else
            literal(QString(pendingCommas, u','));
        pendingCommas = 0;
    };
    bool afterPoint = false;
    int firstIntZero = -1;
    int lastFracZero = -1;
    int exponentZeros = 0;

    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"') {
            const qsizetype close = text.indexOf(u'"', i + 1);
            const qsizetype end = close < 0 ? text.size() : close;
            literal(text.mid(i + 1, end - i - 1));
            i = end;
        } else if (c == u'\\') {
            if (i + 1 < text.size())
                literal(text.mid(++i, 1));
        } else if (c == u'0' || c == u'#') {
            if (s.scientific) {
                if (c == u'0')
                    ++exponentZeros;
            } else if (!afterPoint) {
                if (pendingCommas > 0)
                    s.grouping = true;
                pendingCommas = 0;
                if (c == u'0' && firstIntZero < 0)
                    firstIntZero = s.intDigits;
                s.elements.push_back({Item::IntDigit, {}});
                ++s.intDigits;
            } else {
                if (c == u'0')
                    lastFracZero = s.fracDigits;
                s.elements.push_back({Item::FracDigit, {}});
                ++s.fracDigits;
            }
        } else if (c == u'.' && !afterPoint && !s.scientific) {
            settleCommas();
            s.elements.push_back({Item::Point, {}});
            s.hasPoint = true;
            afterPoint = true;
        } else if (c == u',' && !afterPoint && !s.scientific) {
            ++pendingCommas;
        } else if (c == u'%') {
            settleCommas();
            literal(u"%");
            s.pointShift += 2;
        } else if ((c == u'E' || c == u'e') && i + 1 < text.size() &&
                   (text[i + 1] == u'+' || text[i + 1] == u'-') && !s.scientific &&
                   s.intDigits + s.fracDigits > 0) {
            settleCommas();
            s.elements.push_back({Item::Exponent, QString(c)});
            s.exponentPlus = text[i + 1] == u'+';
            s.scientific = true;
            ++i;
        } else {
            if (pendingCommas > 0 && !afterPoint)
                settleCommas();
            literal(text.mid(i, 1));
        }
    }
    settleCommas();
    s.intMinimum = firstIntZero < 0 ? 0 : s.intDigits - firstIntZero;
    s.fracMinimum = lastFracZero + 1;
    s.exponentMinimum = std::max(exponentZeros, 1);
    return s;
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

void NumberPattern::appendSection(TextBuffer& out, const Section& section, double magnitude,
                                  bool minus, const LocaleInfo& locale) const
{
    DecimalDigits digits(magnitude);
    int exponent = 0;
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

    const int significantInt = digits.isZero() ? 0 : std::max(digits.pointPos, 0);
    const int shownInt = std::max(significantInt, section.intMinimum);
    const int padding = shownInt - significantInt;
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
            out.append(element.text);
            if (exponent < 0)
                out.append(u'-');
            else if (section.exponentPlus)
                out.append(u'+');
            out.appendNumber(std::abs(exponent), section.exponentMinimum);
            break;
        }
    }
}

} // namespace vantor::platform
