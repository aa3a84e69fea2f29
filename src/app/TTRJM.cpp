#include "TTRJM.h"

#include "app/ClearIcon.h"
#include "app/CodePageMenu.h"
#include "app/InputList.h"
#include "app/SecondaryWindows.h"
#include "dialogs/Dialogs.h"
#include "textio/ErrorMessage.h"
#include "run/FieldValidation.h"
#include "run/RunSequence.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace app {
namespace {

// The window was designed for 398 x 442 pixels inside its frame. It may lose up to 30 pixels of height, which
// the file list gives up, and may be made narrower only a little.
constexpr int designedClientWidth = 398;
constexpr int designedClientHeight = 442;
constexpr int heightGiveUp = 30;
constexpr int narrowestClientWidth = 374;
// The progress of a run is fetched this often: the bar moves smoothly, and the window has time for the user.
constexpr int progressInterval = 50;
constexpr int progressSteps = 1000;

// The fixed hint of an output file's edit; the full path of the file written is added to it after a run.
QString outputHint(const QString& editName)
{
    if (editName == u"JmenoSouboruZmer")
        return u"Output will be stored in e.g. \"TM.txt\", \"1M.txt\", \"2M.txt\" etc."_s;
    if (editName == u"JmenoSouboruModeluj")
        return u"Output will be stored in e.g. \"TC.txt\", \"1C.txt\", \"2C.txt\" etc."_s;
    return {};
}

// Switching to another window or opening a pop-up menu is not leaving the field: the user comes back to it.
bool isLeavingField(const QEvent& event)
{
    if (event.type() != QEvent::FocusOut)
        return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(event).reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

bool isFileDrag(const QEvent& event)
{
    switch (event.type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return static_cast<const QDropEvent&>(event).mimeData()->hasUrls();
    default:
        return false;
    }
}

bool isDeleteKey(const QEvent& event)
{
    return event.type() == QEvent::KeyPress && static_cast<const QKeyEvent&>(event).matches(QKeySequence::Delete);
}

bool fileExists(const QString& name)
{
    return QFileInfo(name).isFile();
}

// Setting an unchanged text would still throw away the edit's undo history.
void replaceText(QLineEdit& edit, const QString& text)
{
    if (edit.text() != text)
        edit.setText(text);
}

template <typename Control>
Control* createNamed(QWidget* parent, const QString& name)
{
    auto* control = new Control(parent);
    control->setObjectName(name);
    return control;
}

QPushButton* createButton(QWidget* parent, const QString& name, const QString& text)
{
    auto* button = createNamed<QPushButton>(parent, name);
    button->setText(text);
    return button;
}

QCheckBox* createCheckedBox(QWidget* parent, const QString& name, const QString& text)
{
    auto* box = createNamed<QCheckBox>(parent, name);
    box->setText(text);
    box->setChecked(true);
    return box;
}

QLineEdit* createEdit(QWidget* parent, const QString& name, const QString& text)
{
    auto* edit = createNamed<QLineEdit>(parent, name);
    edit->setText(text);
    return edit;
}

QLineEdit* createNumberEdit(QWidget* parent, const QString& name, const QString& text)
{
    QLineEdit* edit = createEdit(parent, name, text);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(u"000000"_s) + 12);
    return edit;
}

QLabel* createLabel(QWidget* parent, const QString& name, const QString& text, QWidget* buddy)
{
    auto* label = createNamed<QLabel>(parent, name);
    label->setText(text);
    label->setBuddy(buddy);
    return label;
}

} // namespace

THlavni::THlavni(dialogs::Dialogs& dialogs, SecondaryWindows& windows, QWidget* parent)
    : QWidget(parent),
      m_dialogs(dialogs),
      m_windows(windows)
{
    setObjectName(u"Hlavni"_s);
    setWindowTitle(u"TTR, HTR, etc"_s);
    setAcceptDrops(true);
    createControls();
    createLayout();
    fitWindowSize();
    connectHandlers();
}

THlavni::~THlavni() = default;

void THlavni::createControls()
{
    JmenaVstupu = createNamed<QPlainTextEdit>(this, u"JmenaVstupu"_s);
    JmenaVstupu->setLineWrapMode(QPlainTextEdit::NoWrap);
    JmenaVstupu->setTabChangesFocus(true);
    JmenaVstupu->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    JmenaVstupu->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_codePageMenu = new CodePageMenu(*JmenaVstupu);

    InputDruh = createNamed<QComboBox>(this, u"InputDruh"_s);
    InputDruh->addItems({u"Standard text (UTF-8)"_s, u"Arabic text (UTF-8), vocalisation insensitive"_s,
                         u"Words delimited by new lines (any codepage)"_s, u"Words delimited by white spaces (UTF-8)"_s,
                         u"Words delimited by tabs (UTF-8)"_s});
    InputDruh->setToolTip(u"Input files format"_s);
    // The longest item would make the window wider than its design; the open list still shows it whole.
    InputDruh->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    InputDruh->setMinimumContentsLength(20);
    btnclear = createNamed<QToolButton>(this, u"btnclear"_s);
    btnclear->setIcon(clearIcon());
    btnclear->setAccessibleName(u"Clear the input file list"_s);
    Nacti = createButton(this, u"Nacti"_s, u"&Load input files"_s);

    FreqFrom = createNumberEdit(this, u"FreqFrom"_s, u"1"_s);
    FreqFromLabel = createLabel(this, u"FreqFromLabel"_s, u"Types of &frequency from  "_s, FreqFrom);
    FreqTo = createNumberEdit(this, u"FreqTo"_s, u"4"_s);
    FreqToLabel = createLabel(this, u"FreqToLabel"_s, u"t&o  "_s, FreqTo);
    ChTTR = createCheckedBox(this, u"ChTTR"_s, u"T&ype-token relation"_s);

    ChMeasure = createCheckedBox(this, u"ChMeasure"_s, u"&Measure and save to file:"_s);
    JmenoSouboruZmer = createEdit(this, u"JmenoSouboruZmer"_s, u"M.txt"_s);
    JmenoSouboruZmer->setToolTip(outputHint(JmenoSouboruZmer->objectName()));
    ChangeM = createButton(this, u"ChangeM"_s, u"C&hange"_s);
    ChComputeModel = createCheckedBox(this, u"ChComputeModel"_s, u"&Compute the model and save to file"_s);
    JmenoSouboruModeluj = createEdit(this, u"JmenoSouboruModeluj"_s, u"C.txt"_s);
    JmenoSouboruModeluj->setToolTip(outputHint(JmenoSouboruModeluj->objectName()));
    ChangeC = createButton(this, u"ChangeC"_s, u"Ch&ange"_s);
    FreqOut = createNumberEdit(this, u"FreqOut"_s, u"10"_s);
    FreqOutLabel = createLabel(this, u"FreqOutLabel"_s, u"Output &every   "_s, FreqOut);
    Label1 = createLabel(this, u"Label1"_s, u"token"_s, nullptr);
    ChRFR = createCheckedBox(this, u"ChRFR"_s, u"&Save the concordance to file:  "_s);
    JmenoSouboruRFR = createEdit(this, u"JmenoSouboruRFR"_s, u"Concordance.txt"_s);
    ChangeRFR = createButton(this, u"ChangeRFR"_s, u"Cha&nge"_s);

    Jed = createButton(this, u"Jed"_s, u"&Go!"_s);
    RFRChartBtn = createButton(this, u"RFRChartBtn"_s, u"View &RFR Chart"_s);
    TTRChartBtn = createButton(this, u"TTRChartBtn"_s, u"View &TTR Chart"_s);
    InfoBtn = createButton(this, u"InfoBtn"_s, u"&Info"_s);

    ProgressBar = createNamed<QProgressBar>(this, u"ProgressBar"_s);
    ProgressBar->setRange(0, progressSteps);
    ProgressBar->hide();
    Stop = createButton(this, u"Stop"_s, u"Sto&p"_s);
    // The busy cursor is the form's; the button that stops the run is not busy.
    Stop->setCursor(Qt::ArrowCursor);
    Stop->hide();
    m_progressTimer = new QTimer(this);
    m_progressTimer->setInterval(progressInterval);
    // Kept for the layout of the window's design; the model takes as many threads as the machine has.
    NumberOfCoresEdit = createEdit(this, u"NumberOfCoresEdit"_s, u"4"_s);
    NumberOfCoresEdit->hide();
    NumberOfCoresLabel =
        createLabel(this, u"NumberOfCoresLabel"_s, u"Number of threads you want to use: "_s, NumberOfCoresEdit);
    NumberOfCoresLabel->hide();

    StatusLine = createNamed<QLabel>(this, u"StatusLine"_s);
    // A long file name is cut off rather than widening the window; the tool tip holds every line in full.
    StatusLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    StatusLine->hide();
}

void THlavni::createLayout()
{
    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(InputDruh, 1);
    inputRow->addWidget(btnclear);
    inputRow->addWidget(Nacti);

    auto* classRow = new QHBoxLayout;
    classRow->setSpacing(0);
    classRow->addWidget(FreqFromLabel);
    classRow->addWidget(FreqFrom);
    classRow->addSpacing(8);
    classRow->addWidget(FreqToLabel);
    classRow->addWidget(FreqTo);
    classRow->addStretch(1);

    auto* densityRow = new QHBoxLayout;
    densityRow->setSpacing(0);
    densityRow->addWidget(FreqOutLabel);
    densityRow->addWidget(FreqOut);
    densityRow->addSpacing(6);
    densityRow->addWidget(Label1);
    densityRow->addStretch(1);

    // File names in the left column, their "Change" buttons in the right one, so both line up.
    auto* outputs = new QGridLayout;
    outputs->setVerticalSpacing(4);
    outputs->addLayout(classRow, 0, 0, 1, 2);
    outputs->addWidget(ChTTR, 1, 0, 1, 2);
    outputs->addWidget(ChMeasure, 2, 0, 1, 2);
    outputs->addWidget(JmenoSouboruZmer, 3, 0);
    outputs->addWidget(ChangeM, 3, 1);
    outputs->addWidget(ChComputeModel, 4, 0, 1, 2);
    outputs->addWidget(JmenoSouboruModeluj, 5, 0);
    outputs->addWidget(ChangeC, 5, 1);
    outputs->addLayout(densityRow, 6, 0, 1, 2);
    outputs->addWidget(ChRFR, 7, 0, 1, 2);
    outputs->addWidget(JmenoSouboruRFR, 8, 0);
    outputs->addWidget(ChangeRFR, 8, 1);
    outputs->setColumnStretch(0, 1);

    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(Jed);
    buttonRow->addWidget(RFRChartBtn);
    buttonRow->addWidget(TTRChartBtn);
    buttonRow->addStretch(1);
    buttonRow->addWidget(InfoBtn);

    auto* progressRow = new QHBoxLayout;
    progressRow->addWidget(ProgressBar, 1);
    progressRow->addWidget(Stop);

    auto* window = new QVBoxLayout(this);
    window->setContentsMargins(6, 6, 6, 6);
    window->setSpacing(4);
    window->addWidget(JmenaVstupu, 1);
    window->addLayout(inputRow);
    window->addLayout(outputs);
    window->addSpacing(2);
    window->addLayout(buttonRow);
    window->addLayout(progressRow);
    window->addWidget(StatusLine);
}

void THlavni::fitWindowSize()
{
    // A larger platform font may need more room than the design; then the window grows to fit it.
    const QSize needed = layout()->minimumSize();
    const int shortest = std::max(designedClientHeight - heightGiveUp, needed.height());
    const int narrowest = std::max(narrowestClientWidth, needed.width());
    setMinimumSize(narrowest, shortest);
    setMaximumHeight(shortest + heightGiveUp);
    resize(std::max(designedClientWidth, narrowest), shortest + heightGiveUp);
}

void THlavni::connectHandlers()
{
    const auto connectClick = [this](QAbstractButton* button, void (THlavni::*handler)()) {
        dialogs::connectGuarded(m_dialogs, button, &QAbstractButton::clicked, this, handler);
    };
    connectClick(btnclear, &THlavni::btnclearClick);
    connectClick(Nacti, &THlavni::NactiClick);
    connectClick(ChangeM, &THlavni::ChangeMClick);
    connectClick(ChangeC, &THlavni::ChangeCClick);
    connectClick(ChangeRFR, &THlavni::ChangeRFRClick);
    connectClick(Jed, &THlavni::JedClick);
    connectClick(Stop, &THlavni::StopClick);
    connectClick(RFRChartBtn, &THlavni::RFRChartBtnClick);
    connectClick(TTRChartBtn, &THlavni::TTRChartBtnClick);
    connectClick(InfoBtn, &THlavni::InfoBtnClick);
    for (QLineEdit* field :
         {FreqFrom, FreqTo, JmenoSouboruZmer, JmenoSouboruModeluj, FreqOut, JmenoSouboruRFR, NumberOfCoresEdit})
        field->installEventFilter(this);
    JmenaVstupu->installEventFilter(this);
    JmenaVstupu->viewport()->installEventFilter(this);
    // A full path noted after a run is about the name it was written under.
    for (QLineEdit* output : {JmenoSouboruZmer, JmenoSouboruModeluj, JmenoSouboruRFR})
        connect(output, &QLineEdit::textChanged, output,
                [output] { output->setToolTip(outputHint(output->objectName())); });
    connect(m_progressTimer, &QTimer::timeout, this, &THlavni::showProgress);
    connectShortcut({QKeySequence(Qt::CTRL | Qt::Key_O)}, Nacti);
    connectShortcut({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)}, Jed);
    connectShortcut({QKeySequence(Qt::Key_F1)}, InfoBtn);
    connectShortcut({QKeySequence(Qt::Key_Escape)}, Stop);
}

// A shortcut clicks its button: it runs the button's handler, which takes the focus from the field being edited
// as a click does, and it does nothing while the button is disabled.
void THlavni::connectShortcut(const QList<QKeySequence>& keys, QAbstractButton* button)
{
    auto* shortcut = new QShortcut(this);
    shortcut->setKeys(keys);
    connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
}

bool THlavni::event(QEvent* event)
{
    return takeFileDrag(*event) || QWidget::event(event);
}

bool THlavni::eventFilter(QObject* watched, QEvent* event)
{
    if (isLeavingField(*event))
        dialogs::runGuarded(m_dialogs, this, [this, watched] { fieldLeft(watched); });
    if (takeFileDrag(*event))
        return true;
    // The list is read-only while a run goes on, but the removal of lines is the window's own.
    if (watched == JmenaVstupu && isDeleteKey(*event) && (isRunning() || removeSelectedLines(*JmenaVstupu)))
        return true;
    return QWidget::eventFilter(watched, event);
}

// Files dragged from a file manager go to the input list wherever they are dropped on the window; a field would
// otherwise take their addresses as text.
bool THlavni::takeFileDrag(QEvent& event)
{
    if (!isFileDrag(event))
        return false;
    auto& drag = static_cast<QDropEvent&>(event);
    // The list is the run's while it goes on.
    const QStringList paths = isRunning() ? QStringList() : draggedLocalPaths(*drag.mimeData());
    if (paths.isEmpty()) {
        drag.ignore();
        return true;
    }
    // A file manager told that its files were moved may remove them.
    drag.setDropAction(Qt::CopyAction);
    drag.accept();
    if (event.type() == QEvent::Drop)
        dropInputFiles(paths);
    return true;
}

void THlavni::dropInputFiles(const QStringList& paths)
{
    QStringList files;
    QStringList refusals;
    for (const QString& path : paths) {
        if (QFileInfo(path).isDir())
            refusals.append(textio::cannotOpenText(path, EISDIR));
        else
            files.append(path);
    }
    appendInputLines(*JmenaVstupu, files);
    if (refusals.isEmpty())
        return;
    // A folder is refused now with the error a run would give it. The box follows the drop: shown inside it, it
    // would keep the file manager waiting for the drop to end.
    QMetaObject::invokeMethod(
        this, [this, text = refusals.join(u'\n')] { m_dialogs.error(this, text); }, Qt::QueuedConnection);
}

void THlavni::fieldLeft(QObject* field)
{
    if (field == FreqFrom || field == FreqTo)
        FreqFromExit();
    else if (field == FreqOut || field == NumberOfCoresEdit)
        FreqOutExit(*static_cast<QLineEdit*>(field));
    else if (field == JmenoSouboruZmer || field == JmenoSouboruModeluj || field == JmenoSouboruRFR)
        JmenoSouboruZmerExit(*static_cast<QLineEdit*>(field));
}

void THlavni::NactiClick()
{
    const QStringList files = m_dialogs.openFiles(this, {.title = u"Load text input files (UTF-8)"_s, .filter = {}});
    appendInputLines(*JmenaVstupu, files);
}

void THlavni::btnclearClick()
{
    JmenaVstupu->clear();
}

void THlavni::ChangeMClick()
{
    chooseOutputFile(*JmenoSouboruZmer);
}

void THlavni::ChangeCClick()
{
    chooseOutputFile(*JmenoSouboruModeluj);
}

void THlavni::ChangeRFRClick()
{
    chooseOutputFile(*JmenoSouboruRFR);
}

void THlavni::chooseOutputFile(QLineEdit& edit)
{
    const std::optional<QString> chosen = m_dialogs.saveFile(
        this, {.title = u"Save the output to the file:"_s, .proposedName = m_lastSavePath, .defaultExtension = {}});
    if (!chosen)
        return;
    m_lastSavePath = *chosen;
    // Whatever the user chose is taken as it is; the check on leaving the field is for typed names.
    edit.setText(*chosen);
}

const textio::CodePage& THlavni::inputCodePage() const
{
    return m_codePageMenu->codePage();
}

void THlavni::JedClick()
{
    m_warnings.clear();
    setStatus({});
    takeFocusFromEditedField();
    m_runSettings = runSettings();
    m_runFolder = QDir::currentPath();
    lockSettings(true);
    ProgressBar->setValue(0);
    ProgressBar->show();
    Stop->show();
    Stop->setFocus();
    setCursor(Qt::BusyCursor);
    m_run = std::make_unique<RunThread>(m_runSettings, static_cast<RunView&>(*this));
    m_progressTimer->start();
}

void THlavni::StopClick()
{
    if (m_run)
        m_run->stop();
}

// The run takes the settings as they are now and never reads the window again; the controls stay locked.
run::RunSettings THlavni::runSettings() const
{
    return {
        .inputLines = inputLines(*JmenaVstupu),
        .inputFormat = InputDruh->currentIndex(),
        .codePage = inputCodePage(),
        .curves = run::curveSettings(ChTTR->isChecked(), FreqFrom->text(), FreqTo->text(), FreqOut->text()),
        .measure = ChMeasure->isChecked(),
        .model = ChComputeModel->isChecked(),
        .concordance = ChRFR->isChecked(),
        .measuredFile = JmenoSouboruZmer->text(),
        .modelFile = JmenoSouboruModeluj->text(),
        .concordanceFile = JmenoSouboruRFR->text(),
    };
}

void THlavni::lockSettings(bool locked)
{
    // The list stays readable and scrolls; everything that changes a setting or starts a run waits.
    JmenaVstupu->setReadOnly(locked);
    for (QWidget* control : std::initializer_list<QWidget*>{
             btnclear, Nacti, InputDruh, FreqFrom, FreqTo, ChTTR, ChMeasure, JmenoSouboruZmer, ChangeM, ChComputeModel,
             JmenoSouboruModeluj, ChangeC, FreqOut, ChRFR, JmenoSouboruRFR, ChangeRFR, Jed})
        control->setEnabled(!locked);
}

void THlavni::showProgress()
{
    if (!m_run)
        return;
    if (const std::optional<run::Progress> progress = m_run->takeProgress()) {
        ProgressBar->setValue(int(progress->done * progressSteps));
        setStatus(run::progressText(*progress));
    }
}

void THlavni::setStatus(const QString& head)
{
    m_status = head;
    QStringList shown;
    if (!m_status.isEmpty())
        shown.append(m_status);
    if (!m_warnings.isEmpty())
        shown.append(m_warnings.constLast());
    StatusLine->setText(shown.join(u'\n'));
    StatusLine->setToolTip((m_status.isEmpty() ? m_warnings : QStringList(m_status) + m_warnings).join(u'\n'));
    StatusLine->setVisible(!shown.isEmpty());
}

// Relative names follow the folder last chosen in a dialog, so the user is told where the files went.
void THlavni::noteWrittenFiles(run::RunEnd end)
{
    const QDir folder(m_runFolder);
    QStringList folders;
    for (const QString& name : run::outputFiles(m_runSettings, end)) {
        const QString path = QDir::toNativeSeparators(QDir::cleanPath(folder.absoluteFilePath(name)));
        const QString written = QFileInfo(path).absolutePath();
        if (!folders.contains(written))
            folders.append(written);
        for (QLineEdit* edit : {JmenoSouboruZmer, JmenoSouboruModeluj, JmenoSouboruRFR}) {
            if (edit->text() == name) {
                const QString hint = outputHint(edit->objectName());
                edit->setToolTip(hint.isEmpty() ? path : hint + u'\n' + path);
            }
        }
    }
    setStatus(folders.isEmpty() ? QString() : u"Done. The files are in "_s + folders.join(u", "_s) + u'.');
}

void THlavni::showRunMessage(const QString& text)
{
    m_dialogs.message(this, text);
}

void THlavni::showRunWarning(const QString& text)
{
    m_warnings.append(text);
    setStatus(m_status);
}

void THlavni::removeRunInputLine(int index)
{
    removeInputLine(*JmenaVstupu, index);
}

void THlavni::runEnded(std::optional<run::RunEnd> end, const QString& failure)
{
    m_progressTimer->stop();
    showProgress();
    if (end == run::RunEnd::Done || end == run::RunEnd::DoneWithoutModel)
        ProgressBar->setValue(progressSteps);
    // Its own call is still on the stack.
    m_run.release()->deleteLater();
    const bool stopFocused = Stop->hasFocus();
    lockSettings(false);
    ProgressBar->hide();
    Stop->hide();
    unsetCursor();
    if (stopFocused)
        Jed->setFocus();
    if (end == run::RunEnd::Cancelled)
        setStatus(run::cancelledText());
    else if (end == run::RunEnd::Done || end == run::RunEnd::DoneWithoutModel)
        noteWrittenFiles(*end);
    else
        setStatus({});
    if (!failure.isEmpty())
        m_dialogs.error(this, failure);
    if (m_closeWhenStopped)
        close();
}

// Closing the window during a run stops the run first, so that no output is left half made, and closes the window
// once the run has ended.
void THlavni::closeEvent(QCloseEvent* event)
{
    if (!m_run) {
        QWidget::closeEvent(event);
        return;
    }
    m_closeWhenStopped = true;
    m_run->stop();
    event->ignore();
}

void THlavni::takeFocusFromEditedField()
{
    QWidget* const edited = focusWidget();
    // In an active window the focus-out event checks the field the user was editing, even when "Go!" was
    // triggered without the mouse. An inactive window gets no focus events, so its field is checked here.
    Jed->setFocus(Qt::OtherFocusReason);
    if (!isActiveWindow() && edited != nullptr)
        fieldLeft(edited);
}

void THlavni::RFRChartBtnClick()
{
    const QString concordance = JmenoSouboruRFR->text();
    if (!fileExists(concordance)) {
        m_dialogs.message(this, concordance + u" does not exist. Measure some text file(s) first."_s);
        return;
    }
    m_windows.openRfrChart(concordance);
}

void THlavni::TTRChartBtnClick()
{
    const QString measured = JmenoSouboruZmer->text();
    const QString model = JmenoSouboruModeluj->text();
    const bool measuredExists = fileExists(measured);
    const bool modelExists = fileExists(model);
    m_windows.setTtrChartFilesExist(measuredExists, modelExists);
    if (!measuredExists && !modelExists) {
        m_dialogs.message(this, model + u" nor "_s + measured + u" does not exist. Measure some text file(s) first."_s);
        return;
    }
    m_windows.openTtrChart(measured, model, JmenoSouboruRFR->text(), inputCodePage());
}

void THlavni::InfoBtnClick()
{
    m_windows.openInfo();
}

void THlavni::FreqFromExit()
{
    const run::ClassRangeTexts checked = run::validateClassRange({.from = FreqFrom->text(), .to = FreqTo->text()});
    replaceText(*FreqFrom, checked.from);
    replaceText(*FreqTo, checked.to);
}

void THlavni::FreqOutExit(QLineEdit& edit)
{
    replaceText(edit, run::validateDensity(edit.text()));
}

void THlavni::JmenoSouboruZmerExit(QLineEdit& edit)
{
    replaceText(edit, run::validateFileName(edit.text(), edit.objectName()));
}

} // namespace app
