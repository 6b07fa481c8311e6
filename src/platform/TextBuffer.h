#pragma once

#include <QString>
#include <QStringView>

#include <cstring>
#include <memory>

namespace vantor::platform {

// Builds a formatted text on the stack so that a formatted value costs one
// allocation, the QString made at the end; appending is a store, not a call.
class TextBuffer
{
public:
    TextBuffer() = default;
    TextBuffer(const TextBuffer&) = delete;
    TextBuffer& operator=(const TextBuffer&) = delete;

    void append(char16_t c)
    {
        if (m_size == m_capacity)
            grow(1);
        m_data[m_size++] = c;
    }
    void append(QStringView text)
    {
        const qsizetype n = text.size();
        if (m_size + n > m_capacity)
            grow(n);
        std::memcpy(m_data + m_size, text.utf16(), static_cast<size_t>(n) * sizeof(char16_t));
        m_size += n;
    }
    void appendLatin1(const char* text, qsizetype length)
    {
        if (m_size + length > m_capacity)
            grow(length);
        for (qsizetype i = 0; i < length; ++i)
            m_data[m_size++] = static_cast<char16_t>(static_cast<unsigned char>(text[i]));
    }
    // A whole number without sign, padded with zeros to at least minDigits.
    void appendNumber(long long value, int minDigits = 1)
    {
        char digits[24];
        int n = 0;
        unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                         : static_cast<unsigned long long>(value);
        do {
            digits[n++] = static_cast<char>('0' + v % 10);
            v /= 10;
        } while (v != 0);
        if (m_size + n + minDigits > m_capacity)
            grow(n + minDigits);
        for (int i = n; i < minDigits; ++i)
            m_data[m_size++] = u'0';
        while (n > 0)
            m_data[m_size++] = static_cast<char16_t>(digits[--n]);
    }
    QString toString() const { return QString(reinterpret_cast<const QChar*>(m_data), m_size); }

private:
    void grow(qsizetype extra)
    {
        const qsizetype capacity = (m_size + extra) * 2;
        auto bigger = std::make_unique<char16_t[]>(static_cast<size_t>(capacity));
        std::memcpy(bigger.get(), m_data, static_cast<size_t>(m_size) * sizeof(char16_t));
        m_heap = std::move(bigger);
        m_data = m_heap.get();
        m_capacity = capacity;
    }

    static constexpr qsizetype StackSize = 128;
    char16_t m_stack[StackSize];
    std::unique_ptr<char16_t[]> m_heap;
    char16_t* m_data = m_stack;
    qsizetype m_size = 0;
    qsizetype m_capacity = StackSize;
};

} // namespace vantor::platform
