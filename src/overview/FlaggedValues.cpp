#include "FlaggedValues.h"

#include "platform/Conversions.h"
#include "platform/Error.h"

#include <QBrush>
#include <QColor>
#include <QFont>

namespace vantor::overview {

FlaggedValues::FlaggedValues(QHash<QString, store::ReferenceRange> ranges, Columns columns,
                             QObject* parent)
    : QIdentityProxyModel(parent), m_ranges(std::move(ranges)), m_columns(columns)
{
}

store::ValueFlag FlaggedValues::flagOf(int row) const
{
    const QAbstractItemModel* rows = sourceModel();
    const auto text = [rows, row](int column) {
        return rows->index(row, column).data().toString();
    };
    // The grid's cells are texts; the stored value comes back as the program writes numbers.
    QVariant value;
    try {
        const QString stored = text(m_columns.value);
        if (!stored.isEmpty())
            value = platform::toDouble(stored);
    } catch (const Error&) {
        return {};
    }
    return store::flagValue(m_ranges, text(m_columns.test), value, text(m_columns.unit));
}

QVariant FlaggedValues::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.column() != m_columns.result || m_ranges.isEmpty() ||
        (role != Qt::DisplayRole && role != Qt::FontRole && role != Qt::ForegroundRole &&
         role != Qt::ToolTipRole))
        return QIdentityProxyModel::data(index, role);
    const store::ValueFlag flag = flagOf(index.row());
    const bool flagged = !flag.text.isEmpty();
    switch (role) {
    case Qt::DisplayRole: {
        const QString shown = QIdentityProxyModel::data(index, role).toString();
        return flagged ? shown + QStringLiteral("  ") + flag.text : shown;
    }
    case Qt::FontRole: {
        if (!flagged)
            return QIdentityProxyModel::data(index, role);
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    case Qt::ForegroundRole:
        return flagged ? QVariant(QBrush(QColor(0xC0, 0x00, 0x00)))
                       : QIdentityProxyModel::data(index, role);
    default:
        return flag.toolTip.isEmpty() ? QIdentityProxyModel::data(index, role)
                                      : QVariant(flag.toolTip);
    }
}

} // namespace vantor::overview
