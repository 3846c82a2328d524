// vantora-quoted: the built-in quote service on its own.
#include "FeedSources.h"
#include "QuoteFeed.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

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
    parser.addOptions({portOption, seedOption, bindOption, sourceOption, upstreamOption});
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

    QuoteFeed feed(FeedSources::make(sourceName, upstream, seed));
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
            << Qt::endl;
    return app.exec();
}
