#pragma once
// The link checker's open connections: one that is idle is lent again before a new one is
// opened to the same target, so the checks to one host share a few kept-alive connections.
//
// Invariant: at most maxIdle connections wait idle (or read out the rest of an answer that is
// no longer wanted); past that the oldest closes. A closed connection is dropped when it is
// met, and freed from the event loop (it may be inside its own event when it closes).
#include "tarnby/check/HttpConnection.h"

#include <QObject>
#include <cstddef>
#include <string>
#include <vector>

namespace tarnby::check {

class ConnectionPool : public QObject {
public:
    ConnectionPool(std::string caFile, std::size_t maxIdle, QObject* parent = nullptr);
    ~ConnectionPool() override;

    // An idle connection to target, or a new one; always a new one when fresh.
    HttpConnection& lend(const ConnectionTarget& target, bool fresh);
    // The borrower is done with connection (its exchange has ended, or was abandoned).
    void giveBack(HttpConnection& connection);

    // Connections opened so far (for tests and figures).
    std::size_t opened() const { return opened_; }

private:
    struct Slot {
        HttpConnection* connection;
        bool lent;
    };
    void dropClosed();

    std::string caFile_;
    std::size_t maxIdle_;
    std::vector<Slot> slots_; // oldest first; the connections are children of the pool
    std::size_t opened_ = 0;
};

} // namespace tarnby::check
