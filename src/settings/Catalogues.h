#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

class QComboBox;

// The fixed catalogues of outside web sources offered by the browser panel (news,
// research, IPO and screener sources, chart range and frequency, brokers' home pages) and
// the three lists of the Options window filled at the same time (sort column, update
// interval, scroll pause).
//
// A list's position is the key of its entry: the settings store list positions, not
// labels, so the order of every table here is fixed.
namespace Catalogues {

// Where the symbol (the selected stock or the typed text) goes in an entry's address.
enum class SymbolPlacement
{
    Appended,      // before + symbol + after
    Fixed,         // before + after; the symbol is ignored
    InitialFolder, // before + first character of the symbol + "/" + symbol + after
};

struct Entry
{
    QString label;  // the text shown in the list
    QString before; // the complete address up to the symbol: scheme, host, path and query
    QString after;  // what follows the symbol; empty when nothing does
    SymbolPlacement placement = SymbolPlacement::Appended;
};

// A symbol or a typed text as it goes into an address: percent-encoded as a query value,
// so "AT&T" or "#" can neither add a query item nor cut the address short. Letters,
// digits and "-._~" stay as they are.
QString queryValue(const QString &text);

// The address of one entry with the symbol put in (encoded by queryValue); the fixed parts
// are used exactly as given.
QString entryAddress(const Entry &entry, const QString &symbol);
// The address of entry `index` of a catalogue; empty when there is no such entry.
QString entryAddress(const QList<Entry> &catalogue, int index, const QString &symbol);

// The catalogues, index 0 first.
const QList<Entry> &newsSources();     // cboStockNews, 9 entries
const QList<Entry> &researchSources(); // cboResearchSource, 9 entries
const QList<Entry> &ipoSources();      // cboIPOList, 22 entries, all fixed
const QList<Entry> &screenerSources(); // cboScreener, 10 entries, all fixed
const QList<Entry> &homePages();       // cboHomePage and HomePageURLs, 68 entries

// Chart range and frequency lists and their codes for the chart address.
const QStringList &chartTimeLabels(); // 9 labels, "One Day" first
const QStringList &chartFreqLabels(); // 8 labels, "Minute" first
// The time code of a range position: the position plus 1. A position outside the list
// gives 1, the code the chart starts from.
int chartTimeCode(int index);
// The frequency code of a frequency position: 9, 6, 7, 8 for positions 0 to 3, the
// position less 3 for positions 4 to 7. A position outside the list gives 9.
int chartFreqCode(int index);
// The printable chart page of the charting site for a symbol with the two codes. `site`
// ("http://127.0.0.1:47110") replaces the charting site, e.g. by the built-in feed.
QString chartAddress(const QString &symbol, int timeCode, int freqCode,
                     const QString &site = QString());
// The symbol-lookup page of the quote site for a typed company name, or of `site`.
QString symbolLookupAddress(const QString &companyName, const QString &site = QString());
// The Island book viewer's page for a symbol: on the Island-data host, or on `site`.
QString islandBookAddress(const QString &symbol, const QString &site = QString());
// The built-in feed's page on `site` that stands in offline for an outside source: `kind` is
// "news", "research", "ipo" or "screener"; a non-empty `symbol` goes in as "s"; `source` is
// the outside address that would have opened, which the page offers as a link.
QString feedPageAddress(const QString &site, const QString &kind, const QString &symbol,
                        const QString &source);
// The built-in feed's site ("http://127.0.0.1:47110") when the quote address points at a
// feed on this computer (any port), which then also serves the pages of the panel's
// sources; otherwise empty.
QString builtInSite(const QString &stockUrl);

// Vantora's own start page, home-page entry 0 unless FillHomePage is given another.
QString defaultStartPage();

// The labels of the Options lists.
QStringList sortColumnLabels(bool realTimeMode);     // 13 quote-grid columns
QStringList updateIntervalLabels(bool realTimeMode); // minutes: 11 items, 14 in real time
QStringList pauseLabels();                           // "1" to "10"

// The list position to restore from a stored position text for a list of `count` items:
// the stored whole number (blanks around it allowed) when it names an item; otherwise
// (garbage, empty, negative including "-1", or beyond the end) `fallback`, itself kept
// within the list. So a filled list always ends with a real item selected; -1 only when
// the list is empty.
int listPosition(const QString &stored, int count, int fallback);

// ---- fill procedures ---------------------------------------------------------------------
// Each empties its list, adds the items in catalogue order and sets the position. The
// list reports one position change at the end, not one per item. Settings are read from
// the given portfolio's section.

void FillChartLists(QComboBox *cboChartTime, QComboBox *cboChartFreq); // position 0 each
void FillNewsList(QComboBox *cboStockNews);                            // position 0
void FillIPOList(QComboBox *cboIPOList);                               // position 0
// Position from `Screener` (default "0").
void FillScreenerList(QComboBox *cboScreener, const QString &portfolio);
// Position from `ScrollPauseTime` (default "0").
void FillPauseList(QComboBox *cboPauseScroll, const QString &portfolio);
// Position from `Research` (default "0").
void FillResearchList(QComboBox *cboResearchSource, const QString &portfolio);
void FillHomePageList(QComboBox *cboHomePage); // position 0

// The home-page addresses: slots 0 to 67 in the order of FillHomePageList's labels,
// slots 68 to 70 empty. Slot 0 is `startPage`, or defaultStartPage() when that is empty.
using HomePageTable = std::array<QString, 71>;
void FillHomePage(HomePageTable &HomePageURLs, const QString &startPage = QString());

// Position from `SortColumn` (default "0").
void FillSortList(QComboBox *cboSort, bool realTimeMode, const QString &portfolio);
// Position from `UpdateSeconds` (default "9"); the same stored position selects a
// different interval in the two modes.
void FillTimerList(QComboBox *cboSeconds, bool realTimeMode, const QString &portfolio);

} // namespace Catalogues
