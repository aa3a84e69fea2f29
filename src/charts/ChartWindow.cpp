#include "ChartWindow.h"

#include "ChartOutput.h"
#include "ChartView.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPrinter>
#include <QPushButton>
#include <QShortcut>
#include <QShowEvent>
#include <QVBoxLayout>

namespace charts {
namespace {

const QColor titleColour(255, 128, 0);

QFont pixelFont(int pixels, bool bold)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

struct ScaleChoice
{
    const char16_t* text;
    bool logarithmicLeft;
    bool logarithmicBottom;
};

constexpr ScaleChoice scaleChoices[] = {
    {u"Normal scale", false, false},
    {u"x log scale", false, true},
    {u"y log scale", true, false},
    {u"log-log scale", true, true},
};

} // namespace

ChartWindow::ChartWindow(dialogs::Dialogs& dialogs, QWidget* parent, const QString& name, const QString& caption,
                         const Titles& titles)
    : QWidget(parent, Qt::Window),
      m_dialogs(dialogs)
{
    setObjectName(name);
    setWindowTitle(caption);

    Graf = new ChartView(this);
    Graf->setObjectName(QStringLiteral("Graf"));
    Graf->setTitle(titles.chart, pixelFont(24, true), titleColour);
    Graf->setAxisTitle(ChartAxis::Bottom, titles.bottomAxis, pixelFont(13, false), titleColour);
    Graf->setAxisTitle(ChartAxis::Left, titles.leftAxis, pixelFont(13, false), titleColour);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Scale = new QComboBox(Panel1);
    Scale->setObjectName(QStringLiteral("Scale"));
    Scale->setFixedWidth(145);
    for (const ScaleChoice& choice : scaleChoices)
        Scale->addItem(QString::fromUtf16(choice.text));
    Scale->setCurrentIndex(0);
    Button1 = createButton(QStringLiteral("&Save"), QStringLiteral("Button1"), 52);
    Button2 = createButton(QStringLiteral("&Print"), QStringLiteral("Button2"), 48);
    BtCopy = createButton(QStringLiteral("&Copy"), QStringLiteral("BtCopy"), 52);
    // The standard keys go beside the mnemonics: a button's shortcut clicks it, so the key and the mouse run the
    // same handler.
    Button1->setShortcut(QKeySequence::Save);
    Button1->setToolTip(QStringLiteral("Save the chart as a picture (Ctrl+S)"));
    Button2->setShortcut(QKeySequence::Print);
    Button2->setToolTip(QStringLiteral("Print the chart (Ctrl+P)"));
    BtCopy->setShortcut(QKeySequence::Copy);
    BtCopy->setToolTip(QStringLiteral("Copy the chart to the clipboard (Ctrl+C)"));
    // Closing only hides a chart window, so Escape is as safe as the close button.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    dialogs::connectGuarded(m_dialogs, Scale, &QComboBox::currentIndexChanged, this, &ChartWindow::ScaleChange);
    dialogs::connectGuarded(m_dialogs, Button2, &QPushButton::clicked, this, &ChartWindow::Button2Click);
    dialogs::connectGuarded(m_dialogs, BtCopy, &QPushButton::clicked, this, &ChartWindow::BtCopyClick);
}

QPushButton* ChartWindow::createButton(const QString& text, const QString& name, int width)
{
    auto* button = new QPushButton(text, Panel1);
    button->setObjectName(name);
    button->setFixedWidth(width);
    return button;
}

void ChartWindow::layOut(QLayout* chartArea, int panelHeight, std::initializer_list<QWidget*> leading,
                         std::initializer_list<QWidget*> trailing)
{
    Panel1->setFixedHeight(panelHeight);
    auto* panelLayout = new QHBoxLayout(Panel1);
    panelLayout->setContentsMargins(4, 0, 4, 0);
    panelLayout->setSpacing(4);
    for (QWidget* control : leading)
        panelLayout->addWidget(control);
    for (QWidget* control :
         {static_cast<QWidget*>(Scale), static_cast<QWidget*>(Button1), static_cast<QWidget*>(Button2)})
        panelLayout->addWidget(control);
    for (QWidget* control : trailing)
        panelLayout->addWidget(control);
    panelLayout->addWidget(BtCopy);
    panelLayout->addStretch();
    // The Tab key walks the panel from left to right, whatever order its controls were made in.
    for (int i = 1; i < panelLayout->count() - 1; ++i)
        setTabOrder(panelLayout->itemAt(i - 1)->widget(), panelLayout->itemAt(i)->widget());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(chartArea, 1);
    layout->addWidget(Panel1);
}

void ChartWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        load();
}

void ChartWindow::load()
{
    dialogs::runGuarded(m_dialogs, this, [this] { FormShow(); });
    Graf->redraw();
}

void ChartWindow::ScaleChange()
{
    const int index = Scale->currentIndex();
    if (index < 0)
        return;
    // The items a window adds draw on linear axes.
    const ScaleChoice& choice = index < int(std::size(scaleChoices)) ? scaleChoices[index] : scaleChoices[0];
    Graf->setLogarithmic(ChartAxis::Left, choice.logarithmicLeft);
    Graf->setLogarithmic(ChartAxis::Bottom, choice.logarithmicBottom);
    Graf->redraw();
}

std::optional<QString> ChartWindow::saveChart(const QString& proposedName)
{
    const std::optional<QString> fileName = m_dialogs.saveFile(this, {.title = QString(),
                                                                      .proposedName = proposedName,
                                                                      .defaultExtension = QStringLiteral("bmp"),
                                                                      .filter = pictureTypes()});
    if (!fileName)
        return std::nullopt;
    Graf->savePicture(*fileName);
    m_dialogs.message(this, QStringLiteral("The chart was saved to ") + *fileName);
    return fileName;
}

void ChartWindow::Button2Click()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (m_dialogs.print(this, printer))
        Graf->print(printer);
}

void ChartWindow::BtCopyClick()
{
    QGuiApplication::clipboard()->setImage(Graf->image());
}

} // namespace charts
