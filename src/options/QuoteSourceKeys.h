#pragma once

#include <QMap>
#include <QObject>
#include <QSet>
#include <QUrl>

class frmOptions;

// The API keys of the keyed quote sources, on the Options window's quote-source group: the
// "API key" box shows the key of the source chosen and is available for a source that takes
// one; "Test" fetches one quote from the source with the key in the box and says what
// happened. Keys live in the desktop's secret store (SecretStore), never in the settings
// file. Where no store runs, a key is kept for this run only, and the user is told so once.
class QuoteSourceKeys : public QObject
{
    Q_OBJECT

public:
    explicit QuoteSourceKeys(frmOptions &options, QObject *parent = nullptr);

    // From now on the store is asked for a source's key: the chosen source's at once, any
    // other's when it is first chosen (so that a desktop whose store must be unlocked asks
    // only a user of a keyed source). A key read arrives with keyChanged.
    void load();
    // The key in force for a source (empty: none).
    QString key(const QString &source) const;
    // OK: the keys typed since the window opened come into force and are stored.
    void commit();
    // Cancel: the boxes go back to the keys in force.
    void revert();
    // Where the Test button looks for the sources (tests); empty: their own hosts.
    void setUpstream(const QUrl &upstream) { m_upstream = upstream; }

    // The name under which a source's key is stored: "QuoteSource/stooq".
    static QString storeName(const QString &source);

Q_SIGNALS:
    // A source's key came from the store at start-up, or changed with OK.
    void keyChanged(const QString &source);
    // The Test button's answer is shown.
    void testFinished(const QString &message);

private:
    void ask(const QString &source);
    void showKey();
    void sourceChosen();
    void keyEdited(const QString &text);
    void test();
    void stored(bool kept);

    frmOptions &m_options;
    QMap<QString, QString> m_inForce; // source -> key
    QMap<QString, QString> m_typed;   // source -> key typed since the window opened
    QSet<QString> m_asked;            // sources whose key the store was asked for
    QUrl m_upstream;
    quint64 m_testRun = 0;
    bool m_storeOpen = false;
    bool m_toldNotKept = false;
};
