#include "QuoteLog.h"

#include "QuoteGrid.h"
#include "common/MainState.h"
#include "common/Numbers.h"
#include "platform/ErrorReporter.h"
#include "platform/LogAppend.h"
#include "platform/Platform.h"
#include "platform/ProgramFolder.h"

#include "settings/OptionsModel.h"
#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QStringEncoder>

namespace {

constexpr int kLoggedFields = 7;
// A symbol longer than this is cut, so that a name from the server always fits the file
// system's limit on a name's length.
constexpr int kMaxSymbolInName = 64;

const QString kTab = QStringLiteral("\t");
const QString kLineEnd = QStringLiteral("\r\n");

QString withoutClosingColon(QString caption)
{
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption;
}

bool unsafeInName(QChar ch)
{
    static const QString reserved = QStringLiteral("/\\:*?\"<>|");
    return ch.unicode() < 0x20 || ch.unicode() == 0x7F || ch.category() == QChar::Other_Control ||
           ch.category() == QChar::Other_Format || ch.isSurrogate() || reserved.contains(ch);
}

} // namespace

QuoteLog::QuoteLog(MainState &state, QuotePanel &panel, const OptionsView &options)
    : m_state(state), m_panel(panel), m_options(options),
      m_today([] { return QDate::currentDate(); }), m_locale(QLocale::system())
{
}

QString QuoteLog::logFolder()
{
    return ProgramFolder::path() + QStringLiteral("/Log Files");
}

QString QuoteLog::safeSymbol(const QString &symbol)
{
    QString safe;
    safe.reserve(symbol.size());
    for (QChar ch : symbol)
        safe += unsafeInName(ch) ? QChar(u'_') : ch;
    while (safe.contains(QLatin1String("..")))
        safe.replace(QLatin1String(".."), QStringLiteral("_"));
    return safe.left(kMaxSymbolInName);
}

QString QuoteLog::logFileName(const QString &monthTag, const QString &symbol, bool separate)
{
    if (!separate)
        return monthTag + QStringLiteral(".txt");
    return safeSymbol(symbol) + u' ' + monthTag + QStringLiteral(".txt");
}

QString QuoteLog::headingLine() const
{
    QString line = QStringLiteral("Date") + kTab;
    const QStringList headers = QuoteGrid::headers(m_state.RealTimeMode);
    for (int c = 0; c < kLoggedFields; ++c)
        line += headers.at(c) + kTab;
    line += withoutClosingColon(m_panel.portfolioValueCaption()) + kTab +
            withoutClosingColon(m_panel.portfolioTodayCaption());
    return line;
}

QString QuoteLog::dataLine() const
{
    QStringList fields = m_state.CurrentLine.split(u'\t');
    fields.resize(kLoggedFields);
    const PortfolioFigures shown = m_panel.portfolioShown();
    return ShortDate(m_today(), m_locale) + kTab + fields.join(kTab) + kTab + shown.value + kTab +
           shown.today;
}

void QuoteLog::failed(const QString &path, const QString &reason)
{
    m_failure.failed(m_panel.dialogParent(), QStringLiteral("quote log"), path, reason,
                     QStringLiteral("Quotes go on being downloaded; the log is written again "
                                    "with the next logged quote once the file can be written."));
}

void QuoteLog::writeLog()
{
    const QString folder = logFolder();
    if (!QDir().mkpath(folder))
        return failed(folder, QStringLiteral("The log folder could not be made."));

    const QString name = logFileName(MonthTag(m_today(), m_locale), m_state.RowSymbol,
                                     m_options.model->SeparateLogFiles.value());
    const QString path = folder + u'/' + name;
    // The name holds no separator, so the file is always in the log folder; checked anyway,
    // since the symbol part comes from the quote server.
    if (QFileInfo(path).absolutePath() != QFileInfo(folder).absoluteFilePath())
        return failed(path, QStringLiteral("The file would lie outside the log folder."));

    const bool isNew = !QFileInfo::exists(path);
    QStringEncoder encoder(QStringConverter::Latin1);
    const QByteArray bytes = encoder.encode((isNew ? headingLine() : dataLine()) + kLineEnd);
    const Result written = appendWholeLines(path, bytes);
    if (!written)
        return failed(path, written.error().description());
    m_failure.succeeded();
}

void QuoteLog::LogQuote()
{
    guard([this] { writeLog(); }, m_panel.dialogParent());
}

void QuoteLog::cmdEditQuoteLog_Click()
{
    const QString folder = logFolder() + u'/';
    const QString chosen = Platform::instance().dialogs->openFileName(
        m_options.window, QString::fromLatin1(OpenTitle), folder, QString::fromLatin1(OpenFilter));
    if (chosen.isEmpty())
        return;
    Platform::instance().programs->openInTextEditor(chosen);
}
