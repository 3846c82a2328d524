#include "frmOptions.h"

#include "OptionBindings.h"
#include "OptionsLayout.h"
#include "OptionsPictures.h"
#include "QuoteSourceKeys.h"
#include "common/Numbers.h"
#include "feed/FeedSources.h"
#include "platform/WindowSystem.h"
#include "screen/Colors.h"
#include "screen/Twips.h"
#include "settings/IndexTable.h"
#include "settings/SettingsStore.h"
#include "settings/ValueForms.h"
#include "ui_frmOptions.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QKeyEvent>
#include <QShowEvent>
#include <QSignalBlocker>

#include <cmath>

namespace {

// The column of the "US Indices" tab that each index frame sits in, in frame order; the
// frames of one column stand one below the other.
constexpr std::array<int, IndexTable::frameCount> kFrameColumns = {0, 0, 0, 1, 1, 2, 3, 3};
constexpr int kIndexColumns = 4;

// Header texts and widths (twips) of the symbol list's columns.
constexpr std::array<const char *, 5> kSymbolHeaders = {"Symbol", "Shares", "Low Alert",
                                                        "High Alert", "Log"};
constexpr std::array<int, 5> kSymbolColumnTwips = {700, 650, 800, 800, 750};

constexpr const char *kBackColorProperty = "backColor";

// A stored window coordinate in twips; out of any sensible range counts as not stored.
std::optional<int> storedPixels(const QString &key)
{
    const auto twips =
        ValueForms::toSingle(SettingsStore::read(SettingsStore::programSection(), key).trimmed());
    if (!twips || !(std::abs(*twips) < 1.0e7f))
        return std::nullopt;
    return Twips::toPixels(*twips);
}

// Black or white, whichever reads better on the given back colour.
QColor captionColorOn(const QColor &back)
{
    const double luminance = 0.299 * back.redF() + 0.587 * back.greenF() + 0.114 * back.blueF();
    return luminance > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

frmOptions::frmOptions(QWidget *parent) : QDialog(parent), ui(new Ui::frmOptions)
{
    ui->setupUi(this);
    // The window stays above all other windows of the desktop.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);

    buildSortOrder();
    buildIndexBoxes();
    fillQuoteSources();
    sourceKeys = new QuoteSourceKeys(*this, this);
    QWidget::setTabOrder(ui->cboQuoteSource, ui->txtApiKey);
    QWidget::setTabOrder(ui->txtApiKey, ui->cmdTestSource);
    setPictures();

    // The symbol list is edited through the entry boxes, one whole row at a time.
    FlexGrid *grid = ui->gridSymbols;
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setWordWrap(false);

    // The model takes a change before the control's handlers run.
    bindModel();
    connectHandlers();
    SetUp();

    // The interval and home-page lists are only picked from: typed characters are
    // swallowed, the arrow keys still move through them.
    ui->cboSeconds->installEventFilter(this);
    ui->cboHomePage->installEventFilter(this);
    ui->cboHomePage->view()->window()->installEventFilter(this);
    ui->picOptionsCalc->installEventFilter(this);
    ui->ScrollSlider->installEventFilter(this);
    ui->lblSpeed->installEventFilter(this);
    nameControlsForAccessibility();

    timClock.setObjectName(QStringLiteral("timClock"));
    timClock.setInterval(1000);
    connect(&timClock, &QTimer::timeout, this, &frmOptions::timClock_Timer);
    timClock_Timer();
    timClock.start();
}

frmOptions::~frmOptions()
{
    delete ui;
}

void frmOptions::buildSortOrder()
{
    const std::array<QString, 2> captions = {QStringLiteral("Ascending"),
                                             QStringLiteral("Descending")};
    const std::array<QString, 2> tips = {QStringLiteral("Display in ascending order"),
                                         QStringLiteral("Display in descending order")};
    for (int i = 0; i < 2; ++i) {
        auto *option = new QRadioButton(captions[i], ui->FrameSort);
        option->setObjectName(QStringLiteral("optSortOrder_%1").arg(i));
        option->setToolTip(tips[i]);
        option->setEnabled(false); // auto-sort starts cleared
        ui->layoutSortOrder->addWidget(option);
        optSortOrder[i] = option;
    }
    ui->layoutSortOrder->addStretch();
    optSortOrder[0]->setChecked(true);

    QWidget::setTabOrder(ui->cboSort, optSortOrder[0]);
    QWidget::setTabOrder(optSortOrder[0], optSortOrder[1]);
}

void frmOptions::fillQuoteSources()
{
    for (const QString &name : FeedSources::names())
        ui->cboQuoteSource->addItem(FeedSources::displayName(name), name);
    setQuoteSource(QString::fromLatin1(FeedSources::kDefault));
}

QString frmOptions::quoteSource() const
{
    return FeedSources::normalized(ui->cboQuoteSource->currentData().toString());
}

void frmOptions::setQuoteSource(const QString &name)
{
    ui->cboQuoteSource->setCurrentIndex(
        ui->cboQuoteSource->findData(FeedSources::normalized(name)));
}

void frmOptions::buildIndexBoxes()
{
    std::array<QVBoxLayout *, kIndexColumns> columns{};
    for (int c = 0; c < kIndexColumns; ++c) {
        columns[c] = new QVBoxLayout;
        columns[c]->setObjectName(QStringLiteral("layoutIndexColumn_%1").arg(c));
        ui->layoutIndices->addLayout(columns[c], 0, c);
    }
    for (int f = 0; f < IndexTable::frameCount; ++f) {
        auto *frame = new QGroupBox(IndexTable::frameTitle(f), ui->tabIndices);
        frame->setObjectName(QStringLiteral("FrameIndex_%1").arg(f));
        auto *layout = new QVBoxLayout(frame);
        layout->setObjectName(QStringLiteral("layoutFrameIndex_%1").arg(f));
        columns[kFrameColumns[f]]->addWidget(frame);
        FrameIndex[f] = frame;
    }
    for (QVBoxLayout *column : columns)
        column->addStretch();

    QWidget *previous = ui->cmdRemovePortfolio;
    for (int i = 0; i < IndexTable::count; ++i) {
        QGroupBox *frame = FrameIndex[IndexTable::frame(i)];
        auto *box = new QCheckBox(IndexTable::caption(i), frame);
        box->setObjectName(QStringLiteral("chkIndex_%1").arg(i));
        box->setToolTip(IndexTable::symbol(i));
        box->setProperty("symbol", IndexTable::symbol(i));
        frame->layout()->addWidget(box);
        chkIndex[i] = box;
        QWidget::setTabOrder(previous, box);
        previous = box;
    }
}

void frmOptions::nameControlsForAccessibility()
{
    // A control that shows no caption of its own (a picture button, a box without a
    // label) is announced by its tool tip.
    for (QWidget *w : findChildren<QWidget *>()) {
        if (!w->accessibleName().isEmpty() || w->toolTip().isEmpty())
            continue;
        QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
        if (face && face->text(QAccessible::Name).isEmpty())
            w->setAccessibleName(w->toolTip());
    }
}

bool frmOptions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress &&
        (watched == ui->cboSeconds || watched == ui->cboHomePage)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (!enter && !key->text().isEmpty() && key->text().at(0).isPrint())
            return true;
    } else if (event->type() == QEvent::Show && watched == ui->cboHomePage->view()->window()) {
        Q_EMIT homePageListOpened();
    } else if (event->type() == QEvent::MouseButtonDblClick && watched == ui->picOptionsCalc) {
        Q_EMIT calculatorRequested();
        return true;
    } else if ((watched == ui->ScrollSlider || watched == ui->lblSpeed) &&
               (event->type() == QEvent::Resize || event->type() == QEvent::Move ||
                event->type() == QEvent::Show)) {
        placeSpeedLabels();
    }
    return QDialog::eventFilter(watched, event);
}

void frmOptions::placeSpeedLabels()
{
    const QSlider &slider = *ui->ScrollSlider;
    const std::array<OptionsLayout::TickLabel, 3> labels = {{
        {ui->lblSpeedSlow, slider.minimum()},
        {ui->lblSpeedNormal, (slider.minimum() + slider.maximum()) / 2},
        {ui->lblSpeedFast, slider.maximum()},
    }};
    OptionsLayout::placeUnderTicks(slider, *ui->lblSpeed, labels);
}

QSize frmOptions::sizeForEveryTab()
{
    // A list sized to its contents takes its width when it is first shown: every tab is
    // shown once, unseen, so that the window fits the widest of them from the start.
    QTabWidget *tabs = ui->SSTab1;
    {
        const QSignalBlocker blocker(tabs);
        const int current = tabs->currentIndex();
        for (int i = 0; i < tabs->count(); ++i)
            tabs->setCurrentIndex(i);
        tabs->setCurrentIndex(current);
    }
    layout()->activate();
    return sizeHint().expandedTo(minimumSizeHint());
}

std::optional<QPoint> frmOptions::shownPlace() const
{
    return isVisible() ? std::optional<QPoint>(pos()) : m_shownPlace;
}

void frmOptions::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    if (!m_shownSize.isValid()) {
        m_shownSize = sizeForEveryTab();
        const auto left = storedPixels(QStringLiteral("OptionsLeft"));
        const auto top = storedPixels(QStringLiteral("OptionsTop"));
        const std::optional<QPoint> stored =
            left && top ? std::optional<QPoint>(QPoint(*left, *top)) : std::nullopt;
        m_shownPlace = OptionsLayout::placeOnScreen(stored, m_shownSize);
    }
    resize(m_shownSize);
    if (WindowSystem::placesWindows())
        move(*m_shownPlace);
}

void frmOptions::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (event->spontaneous() || !m_shownSize.isValid())
        return;
    m_shownSize = size();
    m_shownPlace = pos();
}

void frmOptions::timClock_Timer()
{
    const QDateTime now = QDateTime::currentDateTime();
    ui->txtDate->setText(ShortDate(now.date()));
    ui->txtTime->setText(MediumTime(now.time()));
}

void frmOptions::setPictures()
{
    ui->cmdAdd->setIcon(OptionsPictures::add());
    ui->cmdRemoveButton->setIcon(OptionsPictures::remove());
    ui->cmdMoveUp->setIcon(OptionsPictures::moveUp());
    ui->cmdMoveDown->setIcon(OptionsPictures::moveDown());
    ui->cmdOpen->setIcon(OptionsPictures::openLog());
    ui->cmdPrint->setIcon(OptionsPictures::print());
    ui->cmdAbortPrint->setIcon(OptionsPictures::abortPrint());
    ui->cmdDelLog->setIcon(OptionsPictures::deleteLog());
    ui->picOptionsCalc->setIcon(OptionsPictures::calculator());
}

void frmOptions::connectHandlers()
{
    connect(ui->chkEnableLowAlert, &QCheckBox::toggled, this, &frmOptions::chkEnableLowAlert_Click);
    connect(ui->chkEnableHighAlert, &QCheckBox::toggled, this,
            &frmOptions::chkEnableHighAlert_Click);
    connect(ui->chkEnableAutoSort, &QCheckBox::toggled, this, &frmOptions::chkEnableAutoSort_Click);
    connect(ui->chkScroll, &QCheckBox::toggled, this, &frmOptions::chkScroll_Click);
    connect(ui->chkShowGridLines, &QCheckBox::toggled, this, &frmOptions::chkShowGridLines_Click);
    connect(ui->chkUseDefaultColors, &QCheckBox::toggled, this,
            &frmOptions::chkUseDefaultColors_Click);
    connect(ui->chkUseDialUp, &QCheckBox::toggled, this, &frmOptions::chkUseDialUp_Click);
    connect(ui->chkUseProxy, &QCheckBox::toggled, this, &frmOptions::chkUseProxy_Click);
    connect(ui->cboSeconds, &QComboBox::currentTextChanged, this,
            &frmOptions::updateIntervalChanged);
}

QString frmOptions::indexSymbol(int i) const
{
    return IndexTable::symbol(i);
}

void frmOptions::setButtonBackColor(QAbstractButton *button, QColor color)
{
    if (!button || !color.isValid())
        return;
    const QColor caption = captionColorOn(color);
    // A disabled button keeps its colour; its caption fades halfway into the back colour.
    const QColor fadedCaption = QColor::fromRgbF((caption.redF() + color.redF()) / 2,
                                                 (caption.greenF() + color.greenF()) / 2,
                                                 (caption.blueF() + color.blueF()) / 2);
    button->setProperty(kBackColorProperty, color);

    QPalette palette = button->palette();
    palette.setColor(QPalette::Button, color);
    palette.setColor(QPalette::ButtonText, caption);
    button->setPalette(palette);

    // Styles draw buttons their own way and many ignore the palette's button colour; a
    // style sheet with a border of its own is drawn the same by every style.
    button->setStyleSheet(
        QStringLiteral("QAbstractButton { background-color: %1; color: %2;"
                       " border: 1px solid %3; border-radius: 2px; padding: 3px 8px; }"
                       " QAbstractButton:pressed { border-width: 2px; }"
                       " QAbstractButton:disabled { color: %4; }")
            .arg(color.name(), caption.name(), color.darker(250).name(), fadedCaption.name()));
}

QColor frmOptions::buttonBackColor(const QAbstractButton *button)
{
    if (!button)
        return {};
    const QVariant stored = button->property(kBackColorProperty);
    if (stored.isValid())
        return stored.value<QColor>();
    return button->palette().color(QPalette::Button);
}

void frmOptions::SetUp()
{
    ui->cmdRemovePortfolio->setEnabled(false);
    setUpSymbolGrid();
    if (!ui->chkScroll->isChecked())
        setScrollerControlsEnabled(false);
    Q_EMIT buttonColorsRequested();
}

void frmOptions::setUpSymbolGrid()
{
    FlexGrid *grid = ui->gridSymbols;
    grid->setCols(static_cast<int>(kSymbolHeaders.size()));
    if (grid->rows() < 1)
        grid->setRows(1);
    grid->setFont(QFont(QStringLiteral("Arial"), 8));
    for (int c = 0; c < grid->cols(); ++c) {
        grid->setTextMatrix(0, c, QString::fromLatin1(kSymbolHeaders[c]));
        grid->setColWidth(c, Twips::toPixels(kSymbolColumnTwips[c], grid->logicalDpiX()));
    }
    // The headings are read whole, whatever the font.
    grid->fitHeadings();
}

void frmOptions::setScrollerControlsEnabled(bool enabled)
{
    ui->ScrollSlider->setEnabled(enabled);
    ui->chkPauseScroll->setEnabled(enabled);
    ui->cboPauseScroll->setEnabled(enabled);
}

void frmOptions::setColorButtonsEnabled(bool enabled)
{
    ui->cmdHeaderBackColor->setEnabled(enabled);
    ui->cmdOddRowColor->setEnabled(enabled);
    ui->cmdGraphForeColor->setEnabled(enabled);
    ui->cmdEvenRowColor->setEnabled(enabled);
    ui->cmdFixedForeColor->setEnabled(enabled);
}

void frmOptions::DisableColorButtons()
{
    setColorButtonsEnabled(false);
}

void frmOptions::EnableColorButtons()
{
    setColorButtonsEnabled(true);
}

void frmOptions::chkEnableLowAlert_Click()
{
    const bool anyAlert = ui->chkEnableLowAlert->isChecked() || ui->chkEnableHighAlert->isChecked();
    ui->optAlertSound->setEnabled(anyAlert);
    ui->optAlertPopUp->setEnabled(anyAlert);
    ui->optAlertVisual->setEnabled(anyAlert);
    ui->chkAlertNotify->setEnabled(anyAlert);
}

void frmOptions::chkEnableHighAlert_Click()
{
    chkEnableLowAlert_Click();
}

void frmOptions::chkEnableAutoSort_Click()
{
    const bool autoSort = ui->chkEnableAutoSort->isChecked();
    if (!autoSort)
        Q_EMIT rowMoveToolTipsChanged(QStringLiteral("Move up"), QStringLiteral("Move down"));
    optSortOrder[0]->setEnabled(autoSort);
    optSortOrder[1]->setEnabled(autoSort);
    ui->cboSort->setEnabled(autoSort);
}

void frmOptions::chkScroll_Click()
{
    setScrollerControlsEnabled(ui->chkScroll->isChecked());
}

void frmOptions::chkShowGridLines_Click()
{
    Q_EMIT gridColorsChanged();
}

void frmOptions::chkUseDefaultColors_Click()
{
    setColorButtonsEnabled(!ui->chkUseDefaultColors->isChecked());
    Q_EMIT gridColorsChanged();
}

void frmOptions::chkUseDialUp_Click()
{
    const bool dialUp = ui->chkUseDialUp->isChecked();
    ui->cboDialUpList->setEnabled(dialUp);
    ui->chkAutoDial->setEnabled(dialUp);
    ui->chkDisconnectOnExit->setEnabled(dialUp);
    ui->chkReconnectOnDisconnect->setEnabled(dialUp);
    if (dialUp)
        ui->chkUseProxy->setChecked(false);
}

void frmOptions::chkUseProxy_Click()
{
    const bool proxy = ui->chkUseProxy->isChecked();
    ui->txtProxyServer->setEnabled(proxy);
    ui->txtProxyPort->setEnabled(proxy);
    if (proxy)
        ui->chkUseDialUp->setChecked(false);
}

FlexGrid *frmOptions::gridSymbols() const
{
    return ui->gridSymbols;
}

// The controls reached from outside the form.
QTabWidget *frmOptions::SSTab1() const
{
    return ui->SSTab1;
}

QPushButton *frmOptions::cmdCancel() const
{
    return ui->cmdCancel;
}

QPushButton *frmOptions::cmdOK() const
{
    return ui->cmdOK;
}

QToolButton *frmOptions::picOptionsCalc() const
{
    return ui->picOptionsCalc;
}

QSlider *frmOptions::ScrollSlider() const
{
    return ui->ScrollSlider;
}

QComboBox *frmOptions::cboDialUpList() const
{
    return ui->cboDialUpList;
}

QComboBox *frmOptions::cboHomePage() const
{
    return ui->cboHomePage;
}

QComboBox *frmOptions::cboPauseScroll() const
{
    return ui->cboPauseScroll;
}

QComboBox *frmOptions::cboPortfolio() const
{
    return ui->cboPortfolio;
}

QComboBox *frmOptions::cboWindowSize() const
{
    return ui->cboWindowSize;
}

QCheckBox *frmOptions::chkAutoDial() const
{
    return ui->chkAutoDial;
}

QCheckBox *frmOptions::chkDisconnectOnExit() const
{
    return ui->chkDisconnectOnExit;
}

QCheckBox *frmOptions::chkHomeSeparateBrowser() const
{
    return ui->chkHomeSeparateBrowser;
}

QCheckBox *frmOptions::chkKeepOnTop() const
{
    return ui->chkKeepOnTop;
}

QCheckBox *frmOptions::chkPauseScroll() const
{
    return ui->chkPauseScroll;
}

QCheckBox *frmOptions::chkReconnectOnDisconnect() const
{
    return ui->chkReconnectOnDisconnect;
}

QCheckBox *frmOptions::chkScroll() const
{
    return ui->chkScroll;
}

QCheckBox *frmOptions::chkShowGridLines() const
{
    return ui->chkShowGridLines;
}

QCheckBox *frmOptions::chkStartHomePage() const
{
    return ui->chkStartHomePage;
}

QCheckBox *frmOptions::chkStopBrowser() const
{
    return ui->chkStopBrowser;
}

QCheckBox *frmOptions::chkUseDefaultColors() const
{
    return ui->chkUseDefaultColors;
}

QCheckBox *frmOptions::chkUseDialUp() const
{
    return ui->chkUseDialUp;
}

QCheckBox *frmOptions::chkUseProxy() const
{
    return ui->chkUseProxy;
}

QPushButton *frmOptions::cmdAddPortfolio() const
{
    return ui->cmdAddPortfolio;
}

QPushButton *frmOptions::cmdConnect() const
{
    return ui->cmdConnect;
}

QPushButton *frmOptions::cmdEvenRowColor() const
{
    return ui->cmdEvenRowColor;
}

QPushButton *frmOptions::cmdFixedForeColor() const
{
    return ui->cmdFixedForeColor;
}

QPushButton *frmOptions::cmdGraphForeColor() const
{
    return ui->cmdGraphForeColor;
}

QPushButton *frmOptions::cmdHeaderBackColor() const
{
    return ui->cmdHeaderBackColor;
}

QPushButton *frmOptions::cmdLoadPortfolio() const
{
    return ui->cmdLoadPortfolio;
}

QPushButton *frmOptions::cmdOddRowColor() const
{
    return ui->cmdOddRowColor;
}

QPushButton *frmOptions::cmdRemovePortfolio() const
{
    return ui->cmdRemovePortfolio;
}

QLabel *frmOptions::lblSpeedFast() const
{
    return ui->lblSpeedFast;
}

QLabel *frmOptions::lblSpeedNormal() const
{
    return ui->lblSpeedNormal;
}

QLabel *frmOptions::lblSpeedSlow() const
{
    return ui->lblSpeedSlow;
}

QLineEdit *frmOptions::txtProxyPort() const
{
    return ui->txtProxyPort;
}

QLineEdit *frmOptions::txtProxyServer() const
{
    return ui->txtProxyServer;
}

QComboBox *frmOptions::cboQuoteSource() const
{
    return ui->cboQuoteSource;
}

QComboBox *frmOptions::cboSeconds() const
{
    return ui->cboSeconds;
}

QComboBox *frmOptions::cboSort() const
{
    return ui->cboSort;
}

QCheckBox *frmOptions::chkAlertNotify() const
{
    return ui->chkAlertNotify;
}

QCheckBox *frmOptions::chkEnableAutoSort() const
{
    return ui->chkEnableAutoSort;
}

QCheckBox *frmOptions::chkEnableHighAlert() const
{
    return ui->chkEnableHighAlert;
}

QCheckBox *frmOptions::chkEnableLowAlert() const
{
    return ui->chkEnableLowAlert;
}

QCheckBox *frmOptions::chkLog() const
{
    return ui->chkLog;
}

QCheckBox *frmOptions::chkLogging() const
{
    return ui->chkLogging;
}

QCheckBox *frmOptions::chkQuoteUpdate() const
{
    return ui->chkQuoteUpdate;
}

QCheckBox *frmOptions::chkSeparateLogFiles() const
{
    return ui->chkSeparateLogFiles;
}

QToolButton *frmOptions::cmdAdd() const
{
    return ui->cmdAdd;
}

QPushButton *frmOptions::cmdEditQuoteLog() const
{
    return ui->cmdEditQuoteLog;
}

QToolButton *frmOptions::cmdMoveDown() const
{
    return ui->cmdMoveDown;
}

QToolButton *frmOptions::cmdMoveUp() const
{
    return ui->cmdMoveUp;
}

QToolButton *frmOptions::cmdRemoveButton() const
{
    return ui->cmdRemoveButton;
}

QPushButton *frmOptions::cmdTestSource() const
{
    return ui->cmdTestSource;
}

QLabel *frmOptions::lblApiKey() const
{
    return ui->lblApiKey;
}

QLabel *frmOptions::lblSourceTest() const
{
    return ui->lblSourceTest;
}

QRadioButton *frmOptions::optAlertPopUp() const
{
    return ui->optAlertPopUp;
}

QRadioButton *frmOptions::optAlertSound() const
{
    return ui->optAlertSound;
}

QRadioButton *frmOptions::optAlertVisual() const
{
    return ui->optAlertVisual;
}

QLineEdit *frmOptions::txtApiKey() const
{
    return ui->txtApiKey;
}

QLineEdit *frmOptions::txtHighAlert() const
{
    return ui->txtHighAlert;
}

QLineEdit *frmOptions::txtLowAlert() const
{
    return ui->txtLowAlert;
}

QLineEdit *frmOptions::txtShares() const
{
    return ui->txtShares;
}

QLineEdit *frmOptions::txtSymbol() const
{
    return ui->txtSymbol;
}

QComboBox *frmOptions::cboBuySell() const
{
    return ui->cboBuySell;
}

QCheckBox *frmOptions::chkShow() const
{
    return ui->chkShow;
}

QToolButton *frmOptions::cmdAbortPrint() const
{
    return ui->cmdAbortPrint;
}

QToolButton *frmOptions::cmdDelLog() const
{
    return ui->cmdDelLog;
}

QPushButton *frmOptions::cmdLogTransaction() const
{
    return ui->cmdLogTransaction;
}

QToolButton *frmOptions::cmdOpen() const
{
    return ui->cmdOpen;
}

QToolButton *frmOptions::cmdPrint() const
{
    return ui->cmdPrint;
}

QLineEdit *frmOptions::txtBuySellPrice() const
{
    return ui->txtBuySellPrice;
}

QLineEdit *frmOptions::txtBuySellShares() const
{
    return ui->txtBuySellShares;
}

QLineEdit *frmOptions::txtBuySellSymbol() const
{
    return ui->txtBuySellSymbol;
}

QLineEdit *frmOptions::txtCash() const
{
    return ui->txtCash;
}

QLineEdit *frmOptions::txtDate() const
{
    return ui->txtDate;
}

QLineEdit *frmOptions::txtFee() const
{
    return ui->txtFee;
}

QLineEdit *frmOptions::txtTime() const
{
    return ui->txtTime;
}

QLineEdit *frmOptions::txtTracking() const
{
    return ui->txtTracking;
}

QTextEdit *frmOptions::txtTransactionLog() const
{
    return ui->txtTransactionLog;
}

QLineEdit *frmOptions::txtValue() const
{
    return ui->txtValue;
}

QWidget *frmOptions::tabIndices() const
{
    return ui->tabIndices;
}

QString frmOptions::updateInterval() const
{
    return ui->cboSeconds->currentText();
}

int frmOptions::portfolioIndex(const QString &name) const
{
    return ui->cboPortfolio->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
}

OptionsView frmOptions::view()
{
    OptionsView v;
    v.model = &m_model;
    v.gridSymbols = ui->gridSymbols;
    v.window = this;
    v.setColorButtonsEnabled = [this](bool enabled) { setColorButtonsEnabled(enabled); };
    return v;
}

void frmOptions::clearDialUpControls()
{
    ui->cboDialUpList->setEnabled(false);
    ui->chkAutoDial->setEnabled(false);
    ui->chkDisconnectOnExit->setEnabled(false);
    ui->chkReconnectOnDisconnect->setEnabled(false);
}

void frmOptions::listDialUpEntries(const QStringList &entries)
{
    for (const QString &entry : entries)
        ui->cboDialUpList->addItem(entry);
    if (ui->cboDialUpList->count() > 0) {
        ui->cboDialUpList->setCurrentIndex(0);
        setProxyBoxesEnabled(false);
        ui->cboDialUpList->setEnabled(true);
        ui->chkAutoDial->setEnabled(true);
        ui->chkDisconnectOnExit->setEnabled(true);
        ui->chkReconnectOnDisconnect->setEnabled(true);
    }
}

int frmOptions::dialUpEntryCount() const
{
    return ui->cboDialUpList->count();
}

QString frmOptions::selectedDialUpEntry() const
{
    return ui->cboDialUpList->currentIndex() < 0 ? QString() : ui->cboDialUpList->currentText();
}

void frmOptions::setProxyBoxesEnabled(bool enabled)
{
    ui->txtProxyServer->setEnabled(enabled);
    ui->txtProxyPort->setEnabled(enabled);
}

void frmOptions::showColor(const ColorOption &color)
{
    const std::pair<const ColorOption *, QAbstractButton *> buttons[] = {
        {&m_model.EvenRowColor, ui->cmdEvenRowColor},
        {&m_model.OddRowColor, ui->cmdOddRowColor},
        {&m_model.TextColor, ui->cmdGraphForeColor},
        {&m_model.HeaderColor, ui->cmdHeaderBackColor},
        {&m_model.HeaderTextColor, ui->cmdFixedForeColor},
    };
    for (const auto &[value, button] : buttons) {
        if (value == &color)
            setButtonBackColor(button, Colors::fromBgr(color.value()));
    }
}

void frmOptions::showTradeFee()
{
    ui->txtFee->setText(m_model.TradeFee.value());
}

void frmOptions::takeListPositions()
{
    m_model.HomePageIndex.set(qint16(ui->cboHomePage->currentIndex()));
    m_model.UpdateSeconds.set(qint16(ui->cboSeconds->currentIndex()));
    m_model.ScrollPauseTime.set(qint16(ui->cboPauseScroll->currentIndex()));
    m_model.SortColumn.set(qint16(ui->cboSort->currentIndex()));
    m_model.DialUpDefault.set(qint16(ui->cboDialUpList->currentIndex()));
}

void frmOptions::bindModel()
{
    using OptionBindings::bind;
    OptionsModel &m = m_model;
    bind(m.UseDialUp, ui->chkUseDialUp);
    bind(m.DialUpDefault, ui->cboDialUpList);
    bind(m.EnableAutoDial, ui->chkAutoDial);
    bind(m.DisconnectOnExit, ui->chkDisconnectOnExit);
    bind(m.Reconnect, ui->chkReconnectOnDisconnect);
    bind(m.UseProxyServer, ui->chkUseProxy);
    bind(m.ProxyServer, ui->txtProxyServer);
    bind(m.ProxyPort, ui->txtProxyPort);
    bind(m.AutoUpdate, ui->chkQuoteUpdate);
    bind(m.UpdateSeconds, ui->cboSeconds);
    bind(m.StartHomePage, ui->chkStartHomePage);
    bind(m.HomeSeparateBrowser, ui->chkHomeSeparateBrowser);
    bind(m.HomePageIndex, ui->cboHomePage);
    bind(m.KeepOnTop, ui->chkKeepOnTop);
    bind(m.StopBrowser, ui->chkStopBrowser);
    bind(m.Zoom, ui->cboWindowSize);
    bind(m.EnableScrollIndex, ui->chkScroll);
    bind(m.ScrollSpeed, ui->ScrollSlider);
    bind(m.ScrollPause, ui->chkPauseScroll);
    bind(m.ScrollPauseTime, ui->cboPauseScroll);
    bind(m.EnableAutoSort, ui->chkEnableAutoSort);
    bind(m.SortColumn, ui->cboSort);
    bind(m.SortOrder0, optSortOrder[0]);
    bind(m.SortOrder1, optSortOrder[1]);
    bind(m.EnableClickSort, ui->chkEnableClickSort);
    bind(m.ShowGridLines, ui->chkShowGridLines);
    bind(m.UseDefaultColors, ui->chkUseDefaultColors);
    bind(m.EnableLowAlert, ui->chkEnableLowAlert);
    bind(m.EnableHighAlert, ui->chkEnableHighAlert);
    bind(m.AlertPopUp, ui->optAlertPopUp);
    bind(m.AlertVisual, ui->optAlertVisual);
    bind(m.AlertSound, ui->optAlertSound);
    bind(m.AlertNotify, ui->chkAlertNotify);
    bind(m.QuoteLogging, ui->chkLogging);
    bind(m.SeparateLogFiles, ui->chkSeparateLogFiles);
    bind(m.ShowStockValue, ui->chkShow);
    bind(m.PortfolioValue, ui->txtValue);
    bind(m.GainLoss, ui->txtGainLoss);
    bind(m.Available, ui->txtCash);
    for (int i = 0; i < OptionsModel::IndexCount; ++i)
        bind(m.Index[std::size_t(i)], chkIndex[std::size_t(i)]);

    // The quote source by its name, which the list keeps as the entries' data.
    m.QuoteSource.set(quoteSource());
    connect(ui->cboQuoteSource, &QComboBox::currentIndexChanged, &m.QuoteSource,
            [this] { m_model.QuoteSource.set(quoteSource()); });
    connect(&m.QuoteSource, &OptionValue::changed, ui->cboQuoteSource, [this] {
        setQuoteSource(m_model.QuoteSource.value());
        m_model.QuoteSource.set(quoteSource());
    });

    // The colour buttons show the ticker colours.
    const std::pair<ColorOption *, QAbstractButton *> colors[] = {
        {&m.EvenRowColor, ui->cmdEvenRowColor},      {&m.OddRowColor, ui->cmdOddRowColor},
        {&m.TextColor, ui->cmdGraphForeColor},       {&m.HeaderColor, ui->cmdHeaderBackColor},
        {&m.HeaderTextColor, ui->cmdFixedForeColor},
    };
    for (const auto &[value, button] : colors) {
        connect(value, &OptionValue::changed, button,
                [value, button] { setButtonBackColor(button, Colors::fromBgr(value->value())); });
    }
}
