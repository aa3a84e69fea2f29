#include "CheckList.h"

namespace charts {
namespace {

class SeriesItem final : public QListWidgetItem
{
public:
    SeriesItem(const QString& text, ChartSeries* series)
        : QListWidgetItem(text, nullptr, QListWidgetItem::UserType),
          m_series(series)
    {
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        setCheckState(Qt::Unchecked);
    }

    ChartSeries* series() const { return m_series; }

private:
    ChartSeries* m_series;
};

} // namespace

CheckList::CheckList(const QString& headerText, QWidget* parent)
    : QListWidget(parent),
      m_headerText(headerText)
{
    appendItem(m_headerText, nullptr);
    connect(this, &QListWidget::itemChanged, this, &CheckList::onItemChanged);
}

void CheckList::appendItem(const QString& text, ChartSeries* series)
{
    auto* item = new SeriesItem(text, series);
    if (!series) {
        QFont bold = font();
        bold.setBold(true);
        item->setFont(bold);
    }
    addItem(item);
}

int CheckList::addSeriesItem(const QString& text, ChartSeries& series)
{
    appendItem(text, &series);
    return count() - 1;
}

ChartSeries* CheckList::seriesAt(int index) const
{
    return static_cast<const SeriesItem*>(item(index))->series();
}

bool CheckList::isChecked(int index) const
{
    return item(index)->checkState() == Qt::Checked;
}

void CheckList::setAllChecked(bool checked)
{
    m_settingStates = true;
    for (int i = 0; i < count(); ++i)
        item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    m_settingStates = false;
}

int CheckList::findText(QStringView text) const
{
    for (int i = 0; i < count(); ++i) {
        if (text.compare(item(i)->text(), Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

void CheckList::resetToHeader()
{
    clear();
    appendItem(m_headerText, nullptr);
    m_rememberedHeaderState = false;
}

void CheckList::onItemChanged()
{
    if (!m_settingStates)
        Q_EMIT checkClicked(this);
}

} // namespace charts
