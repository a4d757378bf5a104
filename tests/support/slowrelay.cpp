// The slow relay: one pair of local sockets per client, on the relay's own thread.
#include "slowrelay.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

namespace quarzello {

class RelayServer : public QObject {
  public:
    RelayServer(QString target, int pieceBytes, int gapMs)
        : target_(std::move(target)), pieceBytes_(pieceBytes), gapMs_(gapMs) {}

    bool listen(const QString& path) {
        server_ = new QLocalServer(this);
        connect(server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* client = server_->nextPendingConnection()) pipe(client);
        });
        return server_->listen(path);
    }

  private:
    void pipe(QLocalSocket* client) {
        auto* upstream = new QLocalSocket(client);
        auto* pending = new QByteArray;
        auto* gap = new QTimer(client);
        gap->setSingleShot(true);
        connect(client, &QObject::destroyed, [pending] { delete pending; });
        connect(client, &QLocalSocket::readyRead, upstream,
                [client, upstream] { upstream->write(client->readAll()); });
        connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
        // Each piece of a reply after a pause of its own.
        connect(upstream, &QLocalSocket::readyRead, gap, [upstream, pending, gap, this] {
            *pending += upstream->readAll();
            if (!gap->isActive()) gap->start(gapMs_);
        });
        connect(gap, &QTimer::timeout, client, [client, upstream, pending, gap, this] {
            client->write(pending->left(pieceBytes_));
            pending->remove(0, pieceBytes_);
            if (!pending->isEmpty())
                gap->start(gapMs_);
            else if (upstream->state() != QLocalSocket::ConnectedState)
                client->disconnectFromServer();
        });
        connect(upstream, &QLocalSocket::disconnected, client, [client, pending, gap] {
            if (pending->isEmpty() && !gap->isActive()) client->disconnectFromServer();
        });
        upstream->connectToServer(target_);
        if (client->bytesAvailable() > 0) upstream->write(client->readAll());
    }

    QString target_;
    int pieceBytes_;
    int gapMs_;
    QLocalServer* server_ = nullptr;
};

SlowRelay::SlowRelay(const QString& target, int pieceBytes, int gapMs)
    : server_(new RelayServer(target, pieceBytes, gapMs)) {
    server_->moveToThread(&thread_);
    QObject::connect(&thread_, &QThread::finished, server_, &QObject::deleteLater);
}

SlowRelay::~SlowRelay() {
    thread_.quit();
    thread_.wait();
}

QString SlowRelay::socketPath() const { return dir_.filePath(QStringLiteral("relay.sock")); }

bool SlowRelay::start() {
    thread_.start();
    bool listening = false;
    QMetaObject::invokeMethod(
        server_, [this, &listening] { listening = server_->listen(socketPath()); },
        Qt::BlockingQueuedConnection);
    return listening;
}

}  // namespace quarzello
