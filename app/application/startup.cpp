#include "application/startup.h"

#include "application/service_manager_notice.h"
#include "core/console_stream.h"
#include "interfaces/app_config.h"
#include "interfaces/manager.h"
#include "server/proxy_server.h"

#include "crypto/engine/log_hook.h"
#include "interfaces/storage.h"
#include "tessel/filefuncs.h"
#include "tessel/log_record.h"

#include <Poco/ThreadPool.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTextCodec>
#include <QTimer>
#include <QTranslator>

#include <csignal>
#include <cstdlib>
#include <exception>
#include <memory>

namespace tessel {
namespace {

const QString stars(100, QLatin1Char('*'));

// The address the user opens: it sets the access token's cookie in the browser.
QString openingUrl(const AppConfig& config)
{
    const QString interface = config.listenInterface();
    const bool anyLocal = interface == QLatin1String("localhost") || interface == QLatin1String("127.0.0.1")
                          || interface == QLatin1String("0.0.0.0") || interface == QLatin1String("::");
    const QString host = anyLocal ? QStringLiteral("localhost")
                                  : (interface.contains(QLatin1Char(':')) ? QLatin1Char('[') + interface + QLatin1Char(']')
                                                                          : interface);
    return QStringLiteral("http://%1:%2/?token=%3").arg(host).arg(config.listenPort()).arg(config.accessToken());
}

// Never returns after --help, --version or --url; false when a start-up step failed (it has logged why).
bool handleOptions(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("velmar-portal-proxy"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption config(QStringList{QStringLiteral("c"), QStringLiteral("config")},
                                    QCoreApplication::translate("cmd", "Configuration file location"),
                                    QCoreApplication::translate("cmd", "filepath"));
    const QCommandLineOption toStderr(QStringLiteral("stderr"),
                                      QCoreApplication::translate("cmd", "Output messages to the console"));
    const QCommandLineOption url(QStringLiteral("url"),
                                 QCoreApplication::translate("cmd", "Print the address to open the portal with, and exit"));
    parser.addOption(config);
    parser.addOption(toStderr);
    parser.addOption(url);
    // Unknown options and missing values do not stop start-up.
    parser.parse(arguments);

    if (parser.isSet(QStringLiteral("help"))) {
        consoleStream() << parser.helpText();
        consoleStream().flush();
        std::exit(0);
    }
    if (parser.isSet(QStringLiteral("version"))) {
        consoleStream() << QCoreApplication::applicationVersion();
        consoleStream().flush();
        std::exit(0);
    }

    try {
        const QString fileName = parser.isSet(config) ? parser.value(config) : AppConfig::defaultFileName();
        AppConfig::instance()->load(fileName);
        if (parser.isSet(url)) {
            consoleStream() << openingUrl(*AppConfig::instance()) << "\n";
            consoleStream().flush();
            std::exit(0);
        }
        if (parser.isSet(toStderr)) {
            if (QTextCodec* codec = russianConsoleCodec())
                setLogCodec(codec);
        } else {
            setLogFile(AppConfig::instance()->logFileName());
        }
        // Signature files of a run that was killed are the user's; they do not stay for ever.
        utils::removeTemporaryLeftovers();
        docs::Storage::reinit(AppConfig::instance()->storageDir());
        process::Manager::instance();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// The crypto library's records go to the proxy's log.
void logCryptoRecord(nxcrypto::LogLevel level, const QString& text)
{
    switch (level) {
    case nxcrypto::LogLevel::Debug:
        LOG_DEBUG << text;
        break;
    case nxcrypto::LogLevel::Info:
        LOG_INFO << text;
        break;
    case nxcrypto::LogLevel::Warn:
        LOG_WARN << text;
        break;
    case nxcrypto::LogLevel::Error:
        LOG_ERROR << text;
        break;
    }
}

} // namespace

int runProxy(int argc, char** argv)
{
    auto app = std::make_unique<QCoreApplication>(argc, argv);
    auto qtTranslator = std::make_unique<QTranslator>();
    qtTranslator->load(QLocale::system(), QStringLiteral("qt"), QStringLiteral("_"),
                       QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    QCoreApplication::installTranslator(qtTranslator.get());
    auto appTranslator = std::make_unique<QTranslator>();
    appTranslator->load(QLocale::system(), QStringLiteral("app"), QStringLiteral("_"),
                        QCoreApplication::applicationDirPath());
    QCoreApplication::installTranslator(appTranslator.get());

    QCoreApplication::setApplicationName(QCoreApplication::translate("main", "velmar-portal-proxy"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.3.1"));
    QCoreApplication::setOrganizationName(QCoreApplication::translate("main", "CJSC Kelvara"));
    QCoreApplication::setOrganizationDomain(QStringLiteral("kelvara.example"));

    // A browser or portal that closes its connection must fail the write, not end the proxy.
    std::signal(SIGPIPE, SIG_IGN);
    nxcrypto::setLogHook(logCryptoRecord);
    if (!handleOptions(QCoreApplication::arguments()))
        return -1;

    const QString banner = QCoreApplication::translate("main", "Starting %1 ver. %2 made by %3 (http://%4)...")
                               .arg(QCoreApplication::applicationName(), QStringLiteral("1.3.1"),
                                    QCoreApplication::organizationName(), QCoreApplication::organizationDomain());
    consoleStream() << banner << "\n";
    consoleStream().flush();
    LOG_INFO << stars;
    LOG_INFO << banner;

    auto* server = new ProxyServer(app.get());
    QObject::connect(server, &ProxyServer::started, app.get(), [] { notifyServiceManager("READY=1"); });
    // A start that failed ends the process with a failure, so that a service manager sees one.
    QObject::connect(server, &ProxyServer::finished, app.get(), [](int exitCode) {
        LOG_INFO << "Stopping main event loop...";
        if (exitCode == 0)
            notifyServiceManager("STOPPING=1");
        QCoreApplication::exit(exitCode);
    });
    QTimer::singleShot(0, server, &ProxyServer::start);
    const int code = QCoreApplication::exec();
    process::Manager::shutdown();

    LOG_INFO << QCoreApplication::translate("main", "Stopping %1").arg(QCoreApplication::applicationName());
    LOG_INFO << stars;
    appTranslator.reset();
    qtTranslator.reset();
    app.reset();
    // The server's worker threads carry Qt thread data; they must end before Qt's globals do.
    Poco::ThreadPool::defaultPool().stopAll();
    return code;
}

} // namespace tessel
