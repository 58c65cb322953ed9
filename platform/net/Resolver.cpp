#include "platform/net/Resolver.h"

#include "platform/net/FaultInjection.h"
#include "platform/net/Sockets.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <netdb.h>
#include <thread>
#include <unordered_map>

namespace platform::net {

namespace {

bool underInvalid(const std::string& name)
{
    // Names under the reserved top-level domain never exist (RFC 6761); no server is asked.
    std::string lower = name;
    while (!lower.empty() && lower.back() == '.')
        lower.pop_back();
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    });
    return lower == "invalid" || (lower.size() > 8 && lower.compare(lower.size() - 8, 8, ".invalid") == 0);
}

// getaddrinfo for IPv4, as a host entry; the Winsock error code in error.
std::optional<HostEntry> lookUp(const std::string& name, int& error)
{
    if (name.empty() || name.find('\0') != std::string::npos || underInvalid(name)) {
        error = WSAHOST_NOT_FOUND;
        return std::nullopt;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_CANONNAME;
    addrinfo* list = nullptr;
    const int r = ::getaddrinfo(name.c_str(), nullptr, &hints, &list);
    if (r != 0) {
        error = winsockErrorFromGai(r, errno);
        return std::nullopt;
    }
    HostEntry entry;
    entry.name = list->ai_canonname ? list->ai_canonname : name;
    for (const addrinfo* a = list; a; a = a->ai_next) {
        const auto address = reinterpret_cast<const sockaddr_in*>(a->ai_addr)->sin_addr.s_addr;
        if (std::find(entry.addresses.begin(), entry.addresses.end(), address) == entry.addresses.end())
            entry.addresses.push_back(address);
    }
    ::freeaddrinfo(list);
    if (entry.addresses.empty()) {
        error = WSANO_DATA;
        return std::nullopt;
    }
    if (entry.name != name)
        entry.aliases.push_back(name);
    error = 0;
    return entry;
}

std::vector<std::string> aliasList(char** aliases)
{
    std::vector<std::string> list;
    for (char** a = aliases; a && *a; ++a)
        list.emplace_back(*a);
    return list;
}

// Bytes the entry takes in a Winsock host buffer: the hostent of 32-bit fields, the strings
// with their terminators, the pointer lists with their null ends, the addresses.
int winsockBufferSize(const HostEntry& entry)
{
    std::size_t size = 16 + entry.name.size() + 1;
    size += 4 * (entry.aliases.size() + 1);
    for (const auto& alias : entry.aliases)
        size += alias.size() + 1;
    size += 4 * (entry.addresses.size() + 1) + 4 * entry.addresses.size();
    return static_cast<int>(size);
}

// One asynchronous request, shared by the requester's side (window thread) and the helper
// thread. The helper thread only fills outcome and error; everything else belongs to the
// window thread.
struct Request {
    AsyncRequest handle = 0;
    std::string name;
    QPointer<MessageWindow> window;
    unsigned message = 0;
    std::shared_ptr<HostEntry> result;
    int bufferSize = 0;
    std::optional<HostEntry> outcome;
    int error = 0;
};

// Pending requests of the process; touched on the window thread only.
std::unordered_map<AsyncRequest, std::shared_ptr<Request>>& pending()
{
    static std::unordered_map<AsyncRequest, std::shared_ptr<Request>> requests;
    return requests;
}

void deliver(const std::shared_ptr<Request>& request)
{
    auto it = pending().find(request->handle);
    if (it == pending().end() || it->second != request)
        return; // cancelled meanwhile
    pending().erase(it);
    if (!request->window)
        return;
    int error = request->error;
    int length = 0;
    if (request->outcome) {
        length = winsockBufferSize(*request->outcome);
        if (length > request->bufferSize)
            error = WSAENOBUFS;
        else if (request->result)
            *request->result = std::move(*request->outcome);
    }
    // Handed over from the event loop like a posted message, but only now: until this moment
    // the request can still be cancelled, so a cancel never races with a queued completion.
    request->window->send(request->message, request->handle,
                          makeSelectLParam(static_cast<unsigned>(length), error));
}

QEvent::Type completionEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

class Completion : public QEvent {
public:
    explicit Completion(std::shared_ptr<Request> request)
        : QEvent(completionEventType()), request(std::move(request)) {}
    const std::shared_ptr<Request> request;
};

// Receives the helper threads' completions on the window thread. Lives as a child of the
// application object; a helper thread that finishes after it has gone posts nothing.
class Hub : public QObject {
public:
    static Hub* instance();
    static void postCompletion(std::shared_ptr<Request> request);
    ~Hub() override;

protected:
    bool event(QEvent* e) override
    {
        if (e->type() != completionEventType())
            return QObject::event(e);
        deliver(static_cast<Completion*>(e)->request);
        return true;
    }

private:
    static std::mutex mutex;
    static Hub* alive;
};

std::mutex Hub::mutex;
Hub* Hub::alive = nullptr;

Hub* Hub::instance()
{
    std::lock_guard lock(mutex);
    if (!alive && QCoreApplication::instance()) {
        alive = new Hub;
        alive->moveToThread(QCoreApplication::instance()->thread());
        alive->setParent(QCoreApplication::instance());
    }
    return alive;
}

void Hub::postCompletion(std::shared_ptr<Request> request)
{
    std::lock_guard lock(mutex);
    if (alive)
        QCoreApplication::postEvent(alive, new Completion(std::move(request)));
}

Hub::~Hub()
{
    std::lock_guard lock(mutex);
    alive = nullptr;
}

AsyncRequest nextHandle()
{
    static AsyncRequest last = 0;
    return ++last;
}

} // namespace

std::optional<HostEntry> gethostbyname(const std::string& name)
{
    int error = 0;
    auto entry = lookUp(name, error);
    if (!entry)
        WSASetLastError(error);
    return entry;
}

std::optional<ServiceEntry> getservbyname(const std::string& name, const char* protocol)
{
    servent entry{};
    servent* found = nullptr;
    char buffer[4096];
    const char* proto = protocol && *protocol ? protocol : nullptr;
    if (name.find('\0') != std::string::npos
        || ::getservbyname_r(name.c_str(), proto, &entry, buffer, sizeof buffer, &found) != 0 || !found) {
        WSASetLastError(WSANO_DATA);
        return std::nullopt;
    }
    return ServiceEntry{found->s_name, aliasList(found->s_aliases), static_cast<std::uint16_t>(found->s_port),
                        found->s_proto};
}

std::optional<ProtocolEntry> getprotobyname(const std::string& name)
{
    protoent entry{};
    protoent* found = nullptr;
    char buffer[4096];
    if (name.find('\0') != std::string::npos
        || ::getprotobyname_r(name.c_str(), &entry, buffer, sizeof buffer, &found) != 0 || !found) {
        WSASetLastError(WSANO_DATA);
        return std::nullopt;
    }
    return ProtocolEntry{found->p_name, aliasList(found->p_aliases), found->p_proto};
}

AsyncRequest WSAAsyncGetHostByName(MessageWindow* window, unsigned message, const std::string& name,
                                   std::shared_ptr<HostEntry> result, int bufferSize)
{
    Hub* hub = Hub::instance();
    if (!window || !hub) {
        WSASetLastError(WSAEINVAL);
        return 0;
    }
    auto request = std::make_shared<Request>();
    request->handle = nextHandle();
    request->name = name;
    request->window = window;
    request->message = message;
    request->result = std::move(result);
    request->bufferSize = bufferSize;
    try {
        std::thread([request, delay = faults::lookupDelay()] {
            if (delay > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            request->outcome = lookUp(request->name, request->error);
            Hub::postCompletion(request);
        }).detach();
    } catch (const std::system_error&) {
        WSASetLastError(WSAENOBUFS);
        return 0;
    }
    pending()[request->handle] = request;
    return request->handle;
}

int WSACancelAsyncRequest(AsyncRequest request)
{
    if (pending().erase(request) == 0) {
        WSASetLastError(WSAEINVAL);
        return SOCKET_ERROR;
    }
    return 0;
}

} // namespace platform::net
