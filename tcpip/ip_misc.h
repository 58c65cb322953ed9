#pragma once
// Unit ip_misc: address helpers and the directory listing parser.
#include "tcpip/Address.h"
#include "tcpip/DateTime.h"
#include "tcpip/ListingParser.h"
