#include "TabStopDelegate.h"

#include <QApplication>
#include <QPainter>
#include <QTextOption>

namespace vantor::entry {

int TabStopDelegate::textIndent(const QWidget* view)
{
    const QStyle* style = view ? view->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    const QWidget* view = opt.widget;
    const QStyle* style = view ? view->style() : QApplication::style();
    // Background, selection and focus as the style draws them; the text here.
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, view);

    const int indent = textIndent(view);
    const QRect rect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, view)
                           .adjusted(indent, 0, -indent, 0);
    QTextOption layout(Qt::AlignLeft | Qt::AlignVCenter);
    layout.setWrapMode(QTextOption::NoWrap);
    layout.setTabStopDistance(m_tabStop);
    const bool selected = opt.state & QStyle::State_Selected;
    const QPalette::ColorGroup group = !(opt.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (opt.state & QStyle::State_Active) ? QPalette::Active
                                                                            : QPalette::Inactive;
    painter->save();
    painter->setFont(opt.font);
    painter->setPen(
        opt.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRectF(rect), text, layout);
    painter->restore();
}

} // namespace vantor::entry
