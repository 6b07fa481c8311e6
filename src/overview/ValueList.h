#pragma once

#include <QString>

#include <optional>

class QComboBox;

namespace vantor::overview {

// Piece number `piece` (from 1) of text cut at each delimiter: GetPiece("a;b", 2, ";")
// is "b". An empty piece between two delimiters is an empty text; nullopt when the
// text has fewer pieces (or piece is below 1).
std::optional<QString> GetPiece(const QString& text, qint16 piece, const QString& delimiter);

// Fills a list from a value list "data;text;data;text..." (rowSourceType
// "String"), giving each entry the numeric value of its data piece as item
// data; the list's "Tag" property, read as a number, is its column count, and
// a column count of 1 swaps the two pieces of each pair. Any earlier entries
// are cleared. Stops at the first empty piece. Returns the number of entries
// added; other row source types add none.
int FillList(const QString& rowSource, QComboBox* list, const QString& rowSourceType);

} // namespace vantor::overview
