#pragma once
// Unit tcpip: the TCP connection, the FTP session and their exceptions.
#include "tcpip/Exceptions.h"
#include "tcpip/Ftp.h"
#include "tcpip/TcpIp.h"
