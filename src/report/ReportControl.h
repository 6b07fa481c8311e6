#pragma once

#include <QRect>
#include <QString>

#include <functional>

namespace vantor::engine {
class Recordset;
}

namespace vantor::report {

// One control of a report section. Geometry is in twips from the section's
// top-left corner, as the report designer places it.
struct ReportControl
{
    enum class Kind { Label, Field, Line };

    Kind kind = Kind::Label;
    QString name;   // lblTitle, txtDate...
    QString text;   // a label's caption, with %i %p %P %d %D standing for values
    QString field;  // a field control's column, read from its section's level
    QString format; // a Format pattern for a field; empty: the value's own text
    QRect rect;     // a line runs along the top edge of its rect
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    int pointSize = 10;
    bool bold = false;
    bool italic = false;
    bool faint = false; // a lighter line or text, for rules between rows
    bool wrap = false;  // a text of several lines, made smaller to fit its box if need be

    // A field worked out from its row rather than read from it (a value's
    // flag). Made once per run, so that it can read what it needs first.
    using RowText = std::function<QString(const engine::Recordset& row)>;
    std::function<RowText()> computed;
};

} // namespace vantor::report
