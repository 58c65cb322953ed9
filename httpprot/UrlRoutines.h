#pragma once
// URL routines of the HTTP client: taking a URL apart, naming the local document, Basic
// credentials and dates. Pure functions on 8-bit strings; they never fail, odd input gives
// empty or partial fields.
#include <QDateTime>
#include <string>
#include <string_view>

namespace httpprot {

// Takes url apart into its fields; every output is cleared first and stays empty when absent.
// path keeps its leading "/" and any query; port stays text (no default is filled in).
// A url that starts with "//" is a network-path reference: the host follows the two slashes
// ("//server/x" gives protocol "http", host "server", path "/x").
void ParseURL(std::string_view url, std::string& protocol, std::string& user,
              std::string& password, std::string& host, std::string& port, std::string& path);

// n = -1: 1-based position of the last occurrence of needle in text; n > 0: of the n-th one.
// 0 when absent, when needle is empty, or for any other n.
std::size_t LastPos(std::string_view needle, std::string_view text, int n);

// name up to and including its last "." followed by ext; name + "." + ext when it has no ".".
std::string ChangeDocExt(std::string_view name, std::string_view ext);

// Standard Base64 (RFC 4648 alphabet, "=" padding, no line breaks); "" for "".
std::string EncodeBase64(std::string_view text);

// "Tue, 08 Dec 2026 04:31:21": day name, day, month name, year, time; the fields of date as
// they stand (no time-zone conversion; the caller appends " GMT").
std::string FormatHttpDate(const QDateTime& date);

// The local file name for a request path: the path without one trailing "/", the text after
// its last "/" (at most 255 characters) cut before the first "?". "document.htm" for an empty
// path or "/", and also whenever that would give a name that is not an ordinary file name in
// the current folder ("", "." or ".."), so a server's path can never make the caller write
// outside that folder.
std::string DocumentNameFromPath(std::string_view path);

} // namespace httpprot
