#pragma once
// How the data providers dialog paints a row: the default data provider in green
// (0, 128, 0), the selected row on silver (192, 192, 192), the others on white, the name 2
// pixels right of and below the row's corner, and the focus frame on the focused row.
#include <QColor>
#include <QStyledItemDelegate>

namespace suite {

class DataProviders;

inline constexpr int DataProviderRowHeight = 17;

struct RowColours
{
    QColor text;
    QColor background;
};

// The colours of a row; `palette` gives the text colours of rows other than the default.
RowColours rowColours(bool isDefault, bool selected, const QPalette &palette);

class DataProviderRowDelegate : public QStyledItemDelegate
{
public:
    DataProviderRowDelegate(const DataProviders &providers, QObject *parent);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    const DataProviders &m_providers;
};

} // namespace suite
