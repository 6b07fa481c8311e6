#pragma once

// A chapter field of a shaped recordset. Internal to the engine.

#include "Recordset.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace vantor::engine {

struct Recordset::Chapter
{
    QString name;
    const ShapeNode* node = nullptr; // the child level
    // Appended child: its rows are those whose childColumns equal the parent's parentColumns.
    std::vector<int> parentColumns;
    QStringList childColumns;
    // Grouping: the base rows, loaded once, and the rows of each group.
    std::shared_ptr<Recordset> source;
    std::vector<std::vector<int>> groups;
    std::unique_ptr<Recordset> child; // made on first request
};

} // namespace vantor::engine
