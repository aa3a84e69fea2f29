#pragma once

#include <QListWidget>
#include <QString>
#include <QStringView>

namespace charts {

class ChartSeries;

// A list of check boxes whose first item heads the list and whose other items each switch one series.
class CheckList final : public QListWidget
{
    Q_OBJECT

public:
    CheckList(const QString& headerText, QWidget* parent);
    Q_DISABLE_COPY_MOVE(CheckList)

    // Adds an unchecked item and returns its index.
    int addSeriesItem(const QString& text, ChartSeries& series);
    // Null for the header item.
    ChartSeries* seriesAt(int index) const;
    bool isChecked(int index) const;
    void setAllChecked(bool checked);
    // The index of the first item whose text equals `text` ignoring letter case, or -1.
    int findText(QStringView text) const;
    // Back to the unchecked header item alone.
    void resetToHeader();

    // The header state the list last acted on.
    bool rememberedHeaderState() const { return m_rememberedHeaderState; }
    void setRememberedHeaderState(bool checked) { m_rememberedHeaderState = checked; }

Q_SIGNALS:
    // The user clicked an item's check box (mouse or keyboard).
    void checkClicked(charts::CheckList* list);

private:
    void appendItem(const QString& text, ChartSeries* series);
    void onItemChanged();

    QString m_headerText;
    bool m_rememberedHeaderState = false;
    bool m_settingStates = false;
};

} // namespace charts
