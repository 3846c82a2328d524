#include "AlertChecker.h"

#include "FlexGrid.h"
#include "common/Numbers.h"
#include "platform/Platform.h"
#include "platform/Sounds.h"
#include "screen/Colors.h"

#include "settings/OptionsModel.h"
#include <QCheckBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QSet>

namespace {

constexpr int kTimeColumn = 3;
constexpr int kLastPriceColumn = 4;
constexpr int kLowAlertColumn = 2;
constexpr int kHighAlertColumn = 3;

} // namespace

AlertChecker::AlertChecker(const OptionsView &options, FlexGrid &grid, QWidget *boxParent)
    : m_options(options), m_grid(grid), m_boxParent(boxParent)
{
}

QString AlertChecker::lowAlertText(const QString &symbol, const QString &lastPrice)
{
    return QStringLiteral("Low Stock Price Alert!\r\n") + symbol +
           QStringLiteral(" sold at or below  $") + lastPrice;
}

QString AlertChecker::highAlertText(const QString &symbol, const QString &lastPrice)
{
    return QStringLiteral("High Stock Price Alert!\r\n") + symbol +
           QStringLiteral(" sold at or above $") + lastPrice;
}

int AlertChecker::symbolRowFor(int r) const
{
    const FlexGrid &symbols = *m_options.gridSymbols;
    const QString symbol = m_grid.textMatrix(r, 0).trimmed();
    if (symbol.isEmpty())
        return -1;
    // Unsorted, the rows still match; otherwise the first row with this symbol.
    if (symbols.textMatrix(r, 0).trimmed().compare(symbol, Qt::CaseInsensitive) == 0)
        return r;
    for (int j = symbols.fixedRows(); j < symbols.rows(); ++j) {
        if (symbols.textMatrix(j, 0).trimmed().compare(symbol, Qt::CaseInsensitive) == 0)
            return j;
    }
    return -1;
}

void AlertChecker::showAlert(const QString &text)
{
    // The user sees the grid behind the box; it stays shown after it, so that a later
    // alert's sound or box never plays over a hidden grid.
    m_grid.setVisible(true);
    m_grid.setRedraw(true);
    Platform::instance().messageBox->show(m_boxParent, QStringLiteral("Vantora Stock Alert!"), text,
                                          MessageBoxService::Icon::Warning, QMessageBox::Ok);
}

QString AlertChecker::notificationSummary(const QString &symbol, bool high, double limit)
{
    return QStringLiteral("%1 at or %2 $%3")
        .arg(symbol.trimmed(), high ? QStringLiteral("above") : QStringLiteral("below"),
             QString::number(limit, 'f', 2));
}

QString AlertChecker::notificationBody(const QString &lastPrice, const QString &time)
{
    const QString at = time.trimmed();
    return QStringLiteral("Last price $") + lastPrice.trimmed() +
           (at.isEmpty() ? QString() : QStringLiteral(" at ") + at);
}

void AlertChecker::notifyAlert(QSet<QString> &sent, int r, bool high, double limit)
{
    NotificationService *service = Platform::instance().notifications;
    const QString symbol = m_grid.textMatrix(r, 0).trimmed();
    // One per symbol and direction in a download, however many rows show the symbol.
    const QString key =
        symbol.toUpper() + (high ? QStringLiteral("\nhigh") : QStringLiteral("\nlow"));
    if (!service || sent.contains(key))
        return;
    sent.insert(key);
    service->notify(notificationSummary(symbol, high, limit),
                    notificationBody(m_grid.textMatrix(r, kLastPriceColumn),
                                     m_grid.textMatrix(r, kTimeColumn)));
}

void AlertChecker::CheckAlerts()
{
    const OptionsView *ui = &m_options;
    const FlexGrid &symbols = *ui->gridSymbols;
    bool lowSoundPlayed = false;
    bool highSoundPlayed = false;
    const OptionsModel &settings = *ui->model;
    const bool notify = settings.AlertNotify.value();
    QSet<QString> notified;

    for (int r = m_grid.fixedRows(); r < m_grid.rows(); ++r) {
        m_grid.setRow(r);
        m_grid.setCol(kLastPriceColumn);
        const int symbolRow = symbolRowFor(r);
        // A row without a symbol of the list has no alert prices.
        const QString lowLimit =
            symbolRow < 0 ? QString() : symbols.textMatrix(symbolRow, kLowAlertColumn);
        const QString highLimit =
            symbolRow < 0 ? QString() : symbols.textMatrix(symbolRow, kHighAlertColumn);
        const QString lastText = m_grid.textMatrix(r, kLastPriceColumn);
        const double last = Val(lastText);
        const QString symbol = m_grid.textMatrix(r, 0);
        // A price the service did not give ("N/A", "") is no price: it counts as 0 for the
        // valuation, but must not look like a fall to 0 that sets off a low alert.
        if (!IsNumeric(lastText)) {
            LowAlertHit = false;
            HighAlertHit = false;
            continue;
        }

        if (settings.EnableLowAlert.value()) {
            const double low = Val(lowLimit);
            LowAlertHit = low > 0 && low >= last;
            if (LowAlertHit) {
                m_grid.setCellMarkColor(r, kLastPriceColumn, Colors::fromBgr(Colors::Fall));
                if (settings.AlertSound.value() && !lowSoundPlayed) {
                    lowSoundPlayed = true;
                    PlayLowAlert();
                }
                if (notify)
                    notifyAlert(notified, r, false, low);
                if (settings.AlertPopUp.value())
                    showAlert(lowAlertText(symbol, lastText));
            }
        }
        if (settings.EnableHighAlert.value()) {
            const double high = Val(highLimit);
            HighAlertHit = high > 0 && high <= last;
            if (HighAlertHit) {
                m_grid.setCellMarkColor(r, kLastPriceColumn, Colors::fromBgr(Colors::HighAlert));
                if (settings.AlertSound.value() && !highSoundPlayed) {
                    highSoundPlayed = true;
                    PlayHighAlert();
                }
                if (notify)
                    notifyAlert(notified, r, true, high);
                if (settings.AlertPopUp.value())
                    showAlert(highAlertText(symbol, lastText));
            }
        }
    }
}
