// vantora-quoted: the built-in quote service on its own.
#include "FeedSources.h"
#include "QuoteFeed.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

#include <cstdio>

namespace {

// A key from "@PATH" (the file's first line) or, without the option, from the environment.
// A key written on the command line itself is refused: every user's `ps` shows it.
std::optional<QString> readKey(const QCommandLineParser &parser, const QCommandLineOption &option,
                               const QString &source, QTextStream &err)
{
    const QByteArray variable = FeedSources::keyVariable(source);
    if (!parser.isSet(option))
        return qEnvironmentVariable(variable.constData()).trimmed();
    const QString value = parser.value(option);
    if (!value.startsWith(u'@')) {
        err << "vantora-quoted: --" << option.names().constFirst()
            << " takes @FILE, a file that holds the key; a key on the command line is visible "
               "to every user of this machine (or set "
            << variable << ")" << Qt::endl;
        return std::nullopt;
    }
    QFile file(value.mid(1));
    if (!file.open(QIODevice::ReadOnly)) {
        err << "vantora-quoted: cannot read the key file " << file.fileName() << ": "
            << file.errorString() << Qt::endl;
        return std::nullopt;
    }
    const QString key = QString::fromUtf8(file.read(4096).split('\n').constFirst()).trimmed();
    if (key.isEmpty()) {
        err << "vantora-quoted: the key file " << file.fileName() << " is empty" << Qt::endl;
        return std::nullopt;
    }
    return key;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vantora-quoted"));
    QCoreApplication::setApplicationVersion(QStringLiteral("2.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Vantora's quote service: answers Vantora's quote requests from a simulated "
                       "market or from a live quote source."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        {QStringLiteral("p"), QStringLiteral("port")},
        QStringLiteral("Port to listen on (default %1).").arg(FeedConfig::kDefaultPort),
        QStringLiteral("port"), QString::number(FeedConfig::kDefaultPort));
    const QCommandLineOption seedOption(
        {QStringLiteral("s"), QStringLiteral("seed")},
        QStringLiteral("Seed of the simulated market (default %1).").arg(FeedConfig::kDefaultSeed),
        QStringLiteral("seed"), QString::number(FeedConfig::kDefaultSeed));
    const QCommandLineOption bindOption({QStringLiteral("b"), QStringLiteral("bind")},
                                        QStringLiteral("Address to listen on (default %1).")
                                            .arg(QLatin1String(FeedConfig::kLoopbackAddress)),
                                        QStringLiteral("address"),
                                        QLatin1String(FeedConfig::kLoopbackAddress));
    const QCommandLineOption sourceOption(
        QStringLiteral("source"),
        QStringLiteral("Where the quotes come from: %1 (default %2).")
            .arg(FeedSources::names().join(QStringLiteral(", ")),
                 QLatin1String(FeedSources::kDefault)),
        QStringLiteral("name"), QLatin1String(FeedSources::kDefault));
    const QCommandLineOption upstreamOption(
        QStringLiteral("upstream"),
        QStringLiteral("Base address that replaces every host of a live source (for tests)."),
        QStringLiteral("url"));
    const QCommandLineOption freshOption(
        QStringLiteral("fresh-seconds"),
        QStringLiteral("How long a live quote is served without asking the source again: share "
                       "quotes, or share quotes and index levels (default 15,60)."),
        QStringLiteral("seconds[,index-seconds]"), QStringLiteral("15,60"));
    const QCommandLineOption stooqKeyOption(
        QStringLiteral("stooq-key"),
        QStringLiteral("@FILE: a file that holds the Stooq API key (or set VANTORA_STOOQ_KEY)."),
        QStringLiteral("@file"));
    const QCommandLineOption finnhubKeyOption(
        QStringLiteral("finnhub-key"),
        QStringLiteral("@FILE: a file that holds the Finnhub API key (or set "
                       "VANTORA_FINNHUB_KEY)."),
        QStringLiteral("@file"));
    parser.addOptions({portOption, seedOption, bindOption, sourceOption, upstreamOption,
                       freshOption, stooqKeyOption, finnhubKeyOption});
    parser.process(app);

    QTextStream err(stderr);
    bool ok = false;
    const uint port = parser.value(portOption).toUInt(&ok);
    if (!ok || port > 65535) {
        err << "vantora-quoted: invalid port: " << parser.value(portOption) << Qt::endl;
        return 2;
    }
    const quint64 seed = parser.value(seedOption).toULongLong(&ok);
    if (!ok) {
        err << "vantora-quoted: invalid seed: " << parser.value(seedOption) << Qt::endl;
        return 2;
    }
    const QHostAddress address(parser.value(bindOption));
    if (address.isNull()) {
        err << "vantora-quoted: invalid address: " << parser.value(bindOption) << Qt::endl;
        return 2;
    }

    const QString sourceName = parser.value(sourceOption).trimmed().toLower();
    if (!FeedSources::isKnown(sourceName)) {
        err << "vantora-quoted: unknown source: " << parser.value(sourceOption) << " (choose "
            << FeedSources::names().join(QStringLiteral(", ")) << ")" << Qt::endl;
        return 2;
    }
    QUrl upstream;
    if (parser.isSet(upstreamOption)) {
        upstream = QUrl(parser.value(upstreamOption), QUrl::StrictMode);
        const QString scheme = upstream.scheme().toLower();
        if (!upstream.isValid() || upstream.host().isEmpty() ||
            (scheme != u"http" && scheme != u"https")) {
            err << "vantora-quoted: invalid upstream address: " << parser.value(upstreamOption)
                << Qt::endl;
            return 2;
        }
    }

    UpstreamPolicy policy;
    const QStringList fresh = parser.value(freshOption).split(u',');
    const int stockSeconds = fresh.value(0).trimmed().toInt(&ok);
    bool indexOk = ok;
    const int indexSeconds =
        fresh.size() > 1 ? fresh.value(1).trimmed().toInt(&indexOk) : std::max(stockSeconds, 60);
    constexpr int kLongestFresh = 15 * 60; // never older than the oldest quote served
    if (!ok || !indexOk || fresh.size() > 2 || stockSeconds < 1 || indexSeconds < 1 ||
        stockSeconds > kLongestFresh || indexSeconds > kLongestFresh) {
        err << "vantora-quoted: invalid --fresh-seconds: " << parser.value(freshOption) << " (1 to "
            << kLongestFresh << " seconds)" << Qt::endl;
        return 2;
    }
    policy.stockFreshMs = stockSeconds * 1000;
    policy.indexFreshMs = indexSeconds * 1000;

    QString key;
    if (sourceName == u"stooq" || sourceName == u"finnhub") {
        const auto given = readKey(
            parser, sourceName == u"stooq" ? stooqKeyOption : finnhubKeyOption, sourceName, err);
        if (!given)
            return 2;
        key = *given;
        if (key.isEmpty() && FeedSources::needsKey(sourceName)) {
            err << "vantora-quoted: " << FeedSources::displayName(sourceName)
                << " needs an API key: --" << sourceName << "-key @FILE or "
                << FeedSources::keyVariable(sourceName) << Qt::endl;
            return 2;
        }
    }

    QuoteFeed feed(FeedSources::make(sourceName, upstream, seed, policy, key));
    if (feed.start(address, quint16(port)) == 0) {
        err << "vantora-quoted: cannot listen on " << address.toString() << " port " << port << ": "
            << feed.errorString() << Qt::endl;
        return 1;
    }
    QTextStream out(stdout);
    out << "vantora-quoted: listening on " << feed.baseUrl() << Qt::endl;
    if (sourceName != QLatin1String(FeedSources::kDefault))
        out << "vantora-quoted: quotes from " << FeedSources::displayName(sourceName)
            << (upstream.isEmpty() ? QString() : QStringLiteral(" at ") + upstream.toString())
            << (key.isEmpty() ? QString() : QStringLiteral(", with a key")) << Qt::endl;
    return app.exec();
}
