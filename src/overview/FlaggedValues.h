#pragma once

#include "store/ReferenceRange.h"

#include <QIdentityProxyModel>

namespace vantor::overview {

// The summary's rows with each value judged against its item's reference
// range: a flagged value reads "112.0  H" in bold red, and every value with a
// range names it in its tooltip (or says why it was not compared).
class FlaggedValues : public QIdentityProxyModel
{
    Q_OBJECT

public:
    struct Columns
    {
        int test;   // the item's name
        int result; // the value as shown
        int unit;   // the value's own unit
        int value;  // the value as stored, unrounded
    };

    FlaggedValues(QHash<QString, store::ReferenceRange> ranges, Columns columns,
                  QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    store::ValueFlag flagOf(int row) const;

    QHash<QString, store::ReferenceRange> m_ranges;
    Columns m_columns;
};

} // namespace vantor::overview
