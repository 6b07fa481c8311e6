#pragma once

#include <QColor>

#include <optional>
#include <vector>

namespace vantor::widgets {

// The cell formats of a flexible grid (back colour, bold), kept per range of
// cells rather than per cell: shading a column of a million rows is one
// entry. Later entries win over earlier ones where they overlap. A range
// whose bottom is OpenEnd reaches every row, also rows that arrive later.
class FlexGridFormats
{
public:
    static constexpr int OpenEnd = -1;

    struct Range
    {
        int top = 0;
        int left = 0;
        int bottom = 0; // inclusive, or OpenEnd
        int right = 0;  // inclusive

        bool contains(int row, int column) const
        {
            return row >= top && (bottom == OpenEnd || row <= bottom) && column >= left &&
                   column <= right;
        }
        bool covers(const Range& other) const;
    };

    void setBackColor(const Range& range, const QColor& color);
    void setBold(const Range& range, bool bold);
    void clear() { m_entries.clear(); }

    // The cell's back colour; nullopt when none was set.
    std::optional<QColor> backColor(int row, int column) const;
    bool bold(int row, int column) const;

private:
    enum class Kind { BackColor, Bold };
    struct Entry
    {
        Range range;
        Kind kind;
        QColor color;
        bool bold = false;
    };

    void add(Entry entry);

    std::vector<Entry> m_entries;
};

} // namespace vantor::widgets
