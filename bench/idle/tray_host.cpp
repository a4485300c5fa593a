// A panel's notification area as the idle measurement's desktop has one: the
// item watcher on the session bus with a host registered, so that the program
// under measurement puts its icon there and is told of the tray rather than
// asking after it. It keeps the items' names and nothing else.
#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QStringList>

#include <cstdio>

namespace {

const char kWatcherService[] = "org.kde.StatusNotifierWatcher";
const char kWatcherPath[] = "/StatusNotifierWatcher";

class TWatcher : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ HostRegistered)
    Q_PROPERTY(int ProtocolVersion READ ProtocolVersion)
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ Items)

public:
    explicit TWatcher(QObject *parent) : QDBusAbstractAdaptor(parent) {}
    bool HostRegistered() const { return true; }
    int ProtocolVersion() const { return 0; }
    QStringList Items() const { return FItems; }

public slots:
    void RegisterStatusNotifierItem(const QString &service)
    {
        FItems << service;
        emit StatusNotifierItemRegistered(service);
    }
    void RegisterStatusNotifierHost(const QString &) {}

signals:
    void StatusNotifierItemRegistered(const QString &service);
    void StatusNotifierHostRegistered();

private:
    QStringList FItems;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QObject root;
    new TWatcher(&root);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QString::fromLatin1(kWatcherPath), &root)
        || !bus.registerService(QString::fromLatin1(kWatcherService))) {
        std::fprintf(stderr, "tray host: the session bus refused the watcher\n");
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

#include "tray_host.moc"
