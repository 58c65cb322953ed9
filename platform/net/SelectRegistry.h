#pragma once
// What the asynchronous select knows of each socket, shared by its plain path
// (AsyncSelect.cpp) and its TLS path (TlsSockets.cpp). Internal to platform_net; every
// function runs on the application thread except the registry look-ups, which lock.
#include "platform/net/AsyncSelect.h"

#include <QPointer>
#include <QSocketNotifier>
#include <memory>

namespace platform::net::detail {

struct TlsChannel;

// Created by WSAAsyncSelect, by a connect that is under way or by WSAStartTls; dropped by
// closesocket (which also expires the guard of queued messages).
struct Selection {
    SOCKET s = INVALID_SOCKET;
    bool datagram = false;
    QPointer<MessageWindow> window;
    unsigned message = 0;
    long mask = 0;
    std::unique_ptr<QSocketNotifier> readable;
    std::unique_ptr<QSocketNotifier> writable;
    bool connectPending = false;
    bool connectFailed = false;
    bool listening = false;
    bool closePosted = false;
    std::shared_ptr<TlsChannel> tls; // set by WSAStartTls; the socket's bytes go through it
};
using SelectionPtr = std::shared_ptr<Selection>;

SelectionPtr find(SOCKET s);
SelectionPtr findOrCreate(SOCKET s);
// Posts event to the selection's window when its mask asks for it.
void post(const SelectionPtr& sel, long event, int error);
void enableRead(Selection& sel);
void enableWrite(Selection& sel);
bool isConnected(SOCKET s);

// The TLS path's side of the notifier events (TlsSockets.cpp).
void tlsTransportConnected(const SelectionPtr& sel);
void tlsReadable(const SelectionPtr& sel);
void tlsWritable(const SelectionPtr& sel);
void tlsReadCalled(const SelectionPtr& sel);
void tlsSelected(const SelectionPtr& sel);

} // namespace platform::net::detail
