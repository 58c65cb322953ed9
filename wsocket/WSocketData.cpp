// Receiving, and sending through the chain of send blocks.
#include "wsocket/WSocket.h"

#include <sys/uio.h>

namespace net = platform::net;

namespace {

// Blocks handed to the kernel in one sendmsg: enough to keep loopback busy, few enough to
// keep the iovec on the stack.
constexpr int kPiecesPerSend = 64;

bool closesQuietly(int code)
{
    return code == net::WSAECONNRESET || code == net::WSAENOTSOCK || code == net::WSAENOTCONN
           || code == net::WSAEINVAL;
}

} // namespace

int TCustomWSocket::Receive(void* buffer, int size)
{
    const int result = net::recv(handle_, buffer, size, 0);
    lastReadShort_ = result >= 0 && result < size;
    if (result < 0)
        lastError_ = net::WSAGetLastError();
    else
        readCount_ += result;
    return result;
}

int TCustomWSocket::ReceiveFrom(void* buffer, int size, sockaddr_in& from, int& fromLength)
{
    const int result = net::recvfrom(handle_, buffer, size, 0, reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (result < 0)
        lastError_ = net::WSAGetLastError();
    else
        readCount_ += result;
    return result;
}

int TCustomWSocket::Send(const void* data, int length)
{
    if (state_ != wsConnected) {
        net::WSASetLastError(net::WSAENOTCONN);
        SocketError("Send");
        return -1;
    }
    allSent_ = false;
    int result = 0;
    if (length > 0) {
        QueueSendData(data, length);
        result = length;
    }
    TryToSend();
    // OnDataSent must never fire inside Send: the FD_WRITE is handled from the event loop.
    if (allSent_ && handle_ != INVALID_SOCKET)
        window_->post(WM_SOCKET_EVENT, static_cast<net::WPARAM>(handle_),
                      net::makeSelectLParam(net::FD_WRITE, 0), std::weak_ptr<const void>(connectionToken_));
    return result;
}

int TCustomWSocket::SendStr(const std::string& text)
{
    return Send(text.data(), static_cast<int>(text.size()));
}

void TCustomWSocket::QueueSendData(const void* data, int length)
{
    if (length <= 0)
        return;
    if (bufferList_.empty())
        bufferList_.push_back(std::make_unique<TBuffer>(bufferSize_));
    const char* bytes = static_cast<const char*>(data);
    std::int32_t written = bufferList_.back()->Write(bytes, length);
    while (written < length) {
        bufferList_.push_back(std::make_unique<TBuffer>(bufferSize_));
        written += bufferList_.back()->Write(bytes + written, length - written);
    }
}

// Sends from the head of the chain until the kernel stops taking bytes. Stream sockets hand
// up to kPiecesPerSend blocks to one sendmsg; datagram sockets send one block per datagram.
// An emptied block is dropped unless it is the only one, which is then kept for reuse and
// marks the queue as all sent.
void TCustomWSocket::TryToSend()
{
    if (handle_ == INVALID_SOCKET || bufferList_.empty())
        return;
    for (;;) {
        while (bufferList_.front()->Unread() == 0) {
            if (bufferList_.size() == 1) {
                allSent_ = true;
                return;
            }
            bufferList_.pop_front();
        }

        iovec pieces[kPiecesPerSend];
        int count = 0;
        std::size_t offered = 0;
        const std::size_t limit = type_ == SOCK_DGRAM ? 1 : kPiecesPerSend;
        for (std::size_t i = 0; i < bufferList_.size() && static_cast<std::size_t>(count) < limit; ++i) {
            std::int32_t length = 0;
            const char* bytes = bufferList_[i]->Peek(length);
            if (length == 0)
                continue;
            pieces[count++] = iovec{const_cast<char*>(bytes), static_cast<std::size_t>(length)};
            offered += static_cast<std::size_t>(length);
        }

        const int sent = type_ == SOCK_DGRAM
                             ? net::sendto(handle_, pieces[0].iov_base, static_cast<int>(pieces[0].iov_len),
                                           sendFlags_, reinterpret_cast<const sockaddr*>(&sin_), sizeof sin_)
                             : net::sendv(handle_, pieces, count, sendFlags_);
        if (sent == SOCKET_ERROR) {
            const int code = net::WSAGetLastError();
            if (closesQuietly(code))
                Close();
            else if (code != net::WSAEWOULDBLOCK)
                SocketError("TryToSend failed");
            return;
        }
        if (sent == 0)
            return;

        std::int32_t left = sent;
        for (std::size_t i = 0; left > 0 && i < bufferList_.size();) {
            left -= bufferList_[i]->Remove(left);
            if (bufferList_[i]->Unread() == 0 && bufferList_.size() > 1 && i == 0)
                bufferList_.pop_front();
            else
                ++i;
        }
        if (static_cast<std::size_t>(sent) < offered)
            return; // the kernel is full; FD_WRITE resumes
    }
}

void TCustomWSocket::Flush()
{
    // Bytes must be queued for the wait to make sense: after a Send of 0 bytes on a fresh
    // socket the flag stays clear with nothing to send.
    const auto pending = [this] {
        return handle_ != INVALID_SOCKET && !allSent_ && !bufferList_.empty()
               && (bufferList_.size() > 1 || bufferList_.front()->Unread() > 0);
    };
    if (multiThreaded_) {
        WaitMultiThreaded(flushTimeout_, [&] {
            TryToSend();
            return !pending();
        });
        return;
    }
    if (!waitCtrl_)
        return ReportError("No wait object assigned");
    waitCtrl_->SetCaption(std::to_string(flushTimeout_));
    waitCtrl_->SetVisible(true);
    waitCtrl_->Start();
    try {
        while (waitCtrl_ && waitCtrl_->Running() && pending()) {
            TryToSend();
            if (pending())
                ProcessApplicationMessages();
        }
    } catch (...) {
        if (waitCtrl_) {
            waitCtrl_->Stop();
            waitCtrl_->SetVisible(false);
        }
        throw;
    }
    if (waitCtrl_) {
        waitCtrl_->Stop();
        waitCtrl_->SetVisible(false);
    }
}
