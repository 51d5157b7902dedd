// SPDX-License-Identifier: MIT
// Copyright (c) 2026 The Loadspire Gauge developers
//
// A StatusNotifierItem tray for the whole-program tests, as a desktop panel runs one on the
// session bus: the watcher that items register with (org.kde.StatusNotifierWatcher) and a host
// that reads every item's icon pixmaps and tooltip, again on each NewIcon and NewToolTip, and
// shows the icons at the sizes sent in a window of its own ("lsg-sni-tray", for screenshots).
// It writes one line per event to standard output:
//   ready                                     the watcher and the host are on the bus
//   item SERVICE                              an item registered
//   icon N SIZES white22=W                    the icon, read for the Nth NewIcon (0: at
//                                             registration); W: near-white pixels at 22 px
//   tooltip N TITLE                           the tooltip's title, read for the Nth NewToolTip
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRasterWindow>
#include <QtEndian>
#include <cstdio>
#include <map>

namespace {

const QString kItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString kItemPath = QStringLiteral("/StatusNotifierItem");

void say(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

// A property of the item, as the D-Bus argument it was sent in.
QDBusArgument itemProperty(const QString& service, const QString& name) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, kItemPath, QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("Get"));
    get << kItemInterface << name;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().at(0).value<QDBusVariant>().variant().value<QDBusArgument>();
}

// a(iiay): ARGB32 pixels in network byte order.
std::map<int, QImage> readPixmaps(const QDBusArgument& arg) {
    std::map<int, QImage> images;
    arg.beginArray();
    while (!arg.atEnd()) {
        int w = 0;
        int h = 0;
        QByteArray data;
        arg.beginStructure();
        arg >> w >> h >> data;
        arg.endStructure();
        if (w <= 0 || h <= 0 || data.size() != qsizetype(w) * h * 4) {
            continue;
        }
        QImage image(w, h, QImage::Format_ARGB32);
        const auto* words = reinterpret_cast<const quint32*>(data.constData());
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < w; ++x) {
                line[x] = qFromBigEndian(words[y * w + x]);
            }
        }
        images[w] = image;
    }
    arg.endArray();
    return images;
}

int whitePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += qAlpha(p) == 255 && qRed(p) > 200 && qGreen(p) > 200 && qBlue(p) > 200 ? 1 : 0;
        }
    }
    return n;
}

// The panel: every size of the icon on a dark strip, each at its own pixels.
class TrayWindow : public QRasterWindow {
public:
    void setIcons(std::map<int, QImage> icons) {
        m_icons = std::move(icons);
        update();
    }

protected:
    void paintEvent(QPaintEvent* /*event*/) override {
        QPainter p(this);
        p.fillRect(QRect(QPoint(0, 0), size()), QColor(48, 52, 58));
        int x = 8;
        for (const auto& [side, image] : m_icons) {
            p.drawImage(QPoint(x, (height() - side) / 2), image);
            x += side + 8;
        }
    }

private:
    std::map<int, QImage> m_icons;
};

class Host : public QObject {
    Q_OBJECT

public:
    explicit Host(TrayWindow& window) : m_window(window) {}

    void add(const QString& service) {
        if (m_service == service) {
            return;
        }
        m_service = service;
        say(QStringLiteral("item ") + service);
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.connect(service, kItemPath, kItemInterface, QStringLiteral("NewIcon"), this,
                    SLOT(newIcon()));
        bus.connect(service, kItemPath, kItemInterface, QStringLiteral("NewToolTip"), this,
                    SLOT(newToolTip()));
        readIcon();
        readToolTip();
    }

public slots:
    void newIcon() {
        ++m_icons;
        readIcon();
    }
    void newToolTip() {
        ++m_toolTips;
        readToolTip();
    }

private:
    void readIcon() {
        std::map<int, QImage> images =
            readPixmaps(itemProperty(m_service, QStringLiteral("IconPixmap")));
        QStringList sizes;
        for (const auto& [side, image] : images) {
            sizes << QStringLiteral("%1x%2").arg(image.width()).arg(image.height());
        }
        const int white = images.count(22) != 0 ? whitePixels(images[22]) : -1;
        say(QStringLiteral("icon %1 %2 white22=%3").arg(m_icons).arg(sizes.join(u',')).arg(white));
        m_window.setIcons(std::move(images));
    }
    void readToolTip() {
        // (sa(iiay)ss): icon name, pixmaps, title, text.
        const QDBusArgument arg = itemProperty(m_service, QStringLiteral("ToolTip"));
        QString icon;
        QString title;
        QString text;
        arg.beginStructure();
        arg >> icon;
        readPixmaps(arg);
        arg >> title >> text;
        arg.endStructure();
        say(QStringLiteral("tooltip %1 %2").arg(m_toolTips).arg(title));
    }

    TrayWindow& m_window;
    QString m_service;
    int m_icons = 0;
    int m_toolTips = 0;
};

class Watcher : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)

public:
    explicit Watcher(Host& host) : m_host(host) {}
    QStringList items() const { return m_items; }
    bool hostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

public slots:
    void RegisterStatusNotifierItem(const QString& serviceOrPath) {
        // Items name their bus name, or only their object path on the caller's connection.
        const QString service =
            serviceOrPath.startsWith(u'/') ? message().service() : serviceOrPath;
        if (!m_items.contains(service)) {
            m_items << service;
        }
        emit StatusNotifierItemRegistered(service);
        // Read once this call has been answered: the item is waiting for the answer.
        QMetaObject::invokeMethod(
            this, [this, service] { m_host.add(service); }, Qt::QueuedConnection);
    }
    void RegisterStatusNotifierHost(const QString& /*service*/) {}

signals:
    void StatusNotifierItemRegistered(const QString& service);
    void StatusNotifierItemUnregistered(const QString& service);
    void StatusNotifierHostRegistered();

private:
    Host& m_host;
    QStringList m_items;
};

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    TrayWindow window;
    window.setTitle(QStringLiteral("lsg-sni-tray"));
    window.resize(300, 80);
    Host host(window);
    Watcher watcher(host);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() ||
        !bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher,
                            QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                                QDBusConnection::ExportAllProperties) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")) ||
        !bus.registerService(QStringLiteral("org.kde.StatusNotifierHost-%1")
                                 .arg(QCoreApplication::applicationPid()))) {
        std::fprintf(stderr, "sni_tray: cannot take the watcher's name on the session bus\n");
        return 1;
    }
    window.show();
    say(QStringLiteral("ready"));
    return QGuiApplication::exec();
}

#include "sni_tray.moc"
