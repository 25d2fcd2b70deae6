#pragma once

#include "db/connection.h"

#include <QStringList>

namespace kelvo::bench {

// The baseline of the command benchmark: the mariadb command-line client sends
// the statements a command sent, read from a file, to the same server.
class MariadbClient {
  public:
    explicit MariadbClient(ConnectionParams params);

    // The time the client takes to send the statements, read and print their
    // results: from the server's clock at a marker statement before them to
    // one after them, so that the client's own start and log-in, which would
    // swamp a quick command, stay out.
    double sendMs(const QStringList& statements) const;

  private:
    ConnectionParams params_;
};

} // namespace kelvo::bench
