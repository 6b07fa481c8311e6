#include "FlexGridFormats.h"

#include <algorithm>

namespace vantor::widgets {

bool FlexGridFormats::Range::covers(const Range& other) const
{
    const bool rowsCovered =
        top <= other.top &&
        (bottom == OpenEnd || (other.bottom != OpenEnd && bottom >= other.bottom));
    return rowsCovered && left <= other.left && right >= other.right;
}

void FlexGridFormats::setBackColor(const Range& range, const QColor& color)
{
    add({range, Kind::BackColor, color, false});
}

void FlexGridFormats::setBold(const Range& range, bool bold)
{
    add({range, Kind::Bold, {}, bold});
}

// An entry hidden completely by the new one is dropped, so that formatting
// cell by cell in a loop does not pile up entries.
void FlexGridFormats::add(Entry entry)
{
    std::erase_if(m_entries, [&entry](const Entry& e) {
        return e.kind == entry.kind && entry.range.covers(e.range);
    });
    m_entries.push_back(std::move(entry));
}

std::optional<QColor> FlexGridFormats::backColor(int row, int column) const
{
    for (auto e = m_entries.rbegin(); e != m_entries.rend(); ++e) {
        if (e->kind == Kind::BackColor && e->range.contains(row, column))
            return e->color;
    }
    return std::nullopt;
}

bool FlexGridFormats::bold(int row, int column) const
{
    for (auto e = m_entries.rbegin(); e != m_entries.rend(); ++e) {
        if (e->kind == Kind::Bold && e->range.contains(row, column))
            return e->bold;
    }
    return false;
}

} // namespace vantor::widgets
