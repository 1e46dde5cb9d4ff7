#include "suite/widgets/data_provider_rows.h"

#include "suite/data_providers.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace suite {

RowColours rowColours(bool isDefault, bool selected, const QPalette &palette)
{
    RowColours colours;
    colours.background = selected ? QColor(192, 192, 192) : QColor(255, 255, 255);
    if (isDefault)
        colours.text = QColor(0, 128, 0);
    else
        colours.text = palette.color(selected ? QPalette::HighlightedText : QPalette::Text);
    return colours;
}

DataProviderRowDelegate::DataProviderRowDelegate(const DataProviders &providers, QObject *parent)
    : QStyledItemDelegate(parent)
    , m_providers(providers)
{
}

void DataProviderRowDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const RowColours colours = rowColours(m_providers.isDefaultRow(index.row()), selected, option.palette);
    painter->save();
    painter->fillRect(option.rect, colours.background);
    painter->setPen(colours.text);
    painter->setFont(option.font);
    painter->drawText(option.rect.adjusted(2, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                      index.data(Qt::DisplayRole).toString());
    painter->restore();
    if (option.state.testFlag(QStyle::State_HasFocus)) {
        QStyleOptionFocusRect frame;
        frame.initFrom(option.widget);
        frame.rect = option.rect;
        frame.backgroundColor = colours.background;
        QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, painter, option.widget);
    }
}

QSize DataProviderRowDelegate::sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    return {QStyledItemDelegate::sizeHint(option, index).width(), DataProviderRowHeight};
}

} // namespace suite
