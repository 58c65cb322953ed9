#pragma once
// Everything of the platform's Winsock stand-in in one include.
#include "platform/net/AsyncSelect.h"
#include "platform/net/FaultInjection.h"
#include "platform/net/MessageWindow.h"
#include "platform/net/Resolver.h"
#include "platform/net/Sockets.h"
#include "platform/net/TlsSockets.h"
#include "platform/net/WinsockErrors.h"
