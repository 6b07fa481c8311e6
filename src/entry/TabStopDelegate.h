#pragma once

#include <QStyledItemDelegate>

namespace vantor::entry {

// Draws an item's text with tab stops every tabStop pixels, so that the
// columns of tab-separated list entries line up under a header above them
// (the view's own drawing puts tab stops where it likes).
class TabStopDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    explicit TabStopDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    void setTabStop(qreal pixels) { m_tabStop = pixels; }
    // Where an item's text starts, from the left edge of the view's viewport.
    static int textIndent(const QWidget* view);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    qreal m_tabStop = 80;
};

} // namespace vantor::entry
