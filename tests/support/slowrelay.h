// A print service behind a slow network: a relay on a socket of its own in front of a local
// server (the private scheduler), passing what the client sends on at once and every reply on
// in small pieces with a pause before each. Point CUPS_SERVER at socketPath(): a thread that
// has not used libcups yet then talks through the relay.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QThread>

namespace quarzello {

class RelayServer;

class SlowRelay {
  public:
    SlowRelay(const QString& target, int pieceBytes, int gapMs);
    ~SlowRelay();
    SlowRelay(const SlowRelay&) = delete;
    SlowRelay& operator=(const SlowRelay&) = delete;

    // Listens, on a thread of its own; false when the socket cannot be made.
    bool start();
    QString socketPath() const;

  private:
    QTemporaryDir dir_;
    QThread thread_;
    RelayServer* server_;
};

}  // namespace quarzello
