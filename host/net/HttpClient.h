#pragma once

// The host's HTTP client: one HTTP/1.0 GET per call, agent "CeHttp", the raw
// response headers and the whole body kept in memory. Built on libcurl; no
// curl header leaves this folder.
//
// A link set-up stands where a phone's connection manager would bring up an
// Internet link: on this host the network is always there, so it answers
// connected at once.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace host::net {

struct HttpGetRequest {
    std::string host;
    std::uint16_t port = 80;
    // Path and query, e.g. "/a/b?x=1"; an empty target asks for "/".
    std::string target;
    // The value of the one "Accept" header; empty sends none.
    std::string accept;
    // Extra request headers, each sent as its own "name: value" line.
    std::vector<std::pair<std::string, std::string>> headers;
};

struct HttpGetResult {
    // False when no complete response arrived (refused, timed out, malformed
    // or with a code outside 100 to 999, closed early, body over the limit);
    // `error` then says why.
    bool ok = false;
    std::string error;
    // The status code of the response as the client read it, 100 to 999
    // when `ok`, else 0.
    int status = 0;
    // The status line and header lines of that response as received, each
    // ending in CRLF; interim (1xx) responses before it are dropped.
    std::string rawHeaders;
    std::vector<std::uint8_t> body;
};

// Limits of one request: a body larger than `maxBody` bytes fails the request
// rather than exhausting memory, and no request outlives `timeoutMs`.
struct HttpLimits {
    std::size_t maxBody = 16u << 20;
    long connectTimeoutMs = 10000;
    long timeoutMs = 30000;
};

// Blocks until the response is complete or the request failed.
HttpGetResult httpGet(const HttpGetRequest& request, const HttpLimits& limits = {});

// True when the Internet link is up (here: always, at once).
bool ensureLink();

} // namespace host::net
