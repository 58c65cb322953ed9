#include "tarnby/check/ConnectionPool.h"

#include <algorithm>

namespace tarnby::check {

ConnectionPool::ConnectionPool(std::string caFile, std::size_t maxIdle, QObject* parent)
    : QObject(parent), caFile_(std::move(caFile)), maxIdle_(std::max<std::size_t>(maxIdle, 1))
{
}

ConnectionPool::~ConnectionPool() = default;

void ConnectionPool::dropClosed()
{
    std::erase_if(slots_, [](const Slot& slot) {
        if (slot.lent || !slot.connection->closed())
            return false;
        slot.connection->OnHeader = nullptr;
        slot.connection->OnBody = nullptr;
        slot.connection->OnEnd = nullptr;
        slot.connection->deleteLater();
        return true;
    });
}

HttpConnection& ConnectionPool::lend(const ConnectionTarget& target, bool fresh)
{
    dropClosed();
    if (!fresh) {
        for (Slot& slot : slots_) {
            if (!slot.lent && slot.connection->idle() && slot.connection->target().key == target.key) {
                slot.lent = true;
                return *slot.connection;
            }
        }
    }
    slots_.push_back({new HttpConnection(target, caFile_, this), true});
    ++opened_;
    return *slots_.back().connection;
}

void ConnectionPool::giveBack(HttpConnection& connection)
{
    const auto it = std::find_if(slots_.begin(), slots_.end(), [&](const Slot& slot) { return slot.connection == &connection; });
    if (it == slots_.end())
        return;
    it->lent = false;
    connection.OnHeader = nullptr;
    connection.OnBody = nullptr;
    connection.OnEnd = nullptr;
    std::size_t kept = 0;
    for (auto slot = slots_.rbegin(); slot != slots_.rend(); ++slot)
        if (!slot->lent && !slot->connection->closed() && ++kept > maxIdle_)
            slot->connection->abandon();
    dropClosed();
}

} // namespace tarnby::check
