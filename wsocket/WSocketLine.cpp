// Line reception: one byte at a time, CR dropped, LF (or the 254th character) ends a line.
#include "wsocket/WSocket.h"

namespace net = platform::net;

namespace {
constexpr std::size_t kMaxLineLength = 254;
}

void TCustomWSocket::ReadLineStart()
{
    if (lineReceived_)
        return; // a line that timed out is continued
    lineBuffer_.clear();
    lineReceived_ = true;
}

void TCustomWSocket::EndLine()
{
    lineReceived_ = false;
    StopWaitCtrl();
}

void TCustomWSocket::ReadLineChars()
{
    for (;;) {
        if (handle_ == INVALID_SOCKET) {
            EndLine();
            return;
        }
        if (state_ != wsConnected)
            return;
        unsigned long waiting = 0;
        if (net::ioctlsocket(handle_, net::IoctlCommand::Fionread, &waiting) == SOCKET_ERROR) {
            lineReceived_ = false;
            SocketError("ioctlSocket");
            return;
        }
        if (waiting == 0)
            return;
        char byte = 0;
        const int received = net::recv(handle_, &byte, 1, 0);
        if (received == 1) {
            ++readCount_;
            if (byte == '\r')
                continue;
            if (byte != '\n') {
                lineBuffer_.push_back(byte);
                if (lineBuffer_.size() < kMaxLineLength)
                    continue;
                if (OnLineTooLong)
                    OnLineTooLong(this);
            }
            EndLine();
            return;
        }
        const int code = received == 0 ? 0 : net::WSAGetLastError();
        if (received == 0 || code == net::WSAECONNRESET) {
            EndLine();
            Close();
            return;
        }
        if (code == net::WSAEWOULDBLOCK)
            continue;
        SocketError("ReadLine");
        return;
    }
}

void TCustomWSocket::ReadLine(int timeoutSeconds, std::string& line)
{
    if (!multiThreaded_ && !waitCtrl_)
        return ReportError("No wait object assigned");
    ReadLineStart();
    ReadLineChars();
    if (lineReceived_) {
        if (multiThreaded_)
            WaitMultiThreaded(timeoutSeconds, [this] { return !lineReceived_; });
        else
            RunWaitCtrl(timeoutSeconds);
    }
    line = lineBuffer_;
}
