#include "host/net/HttpClient.h"

#include <curl/curl.h>

#include <mutex>
#include <string_view>

namespace host::net {

namespace {

struct Transfer {
    HttpGetResult* result;
    std::size_t maxBody;
    bool tooLarge = false;
    // The last header line was the blank one that ends a head.
    bool headEnded = false;
};

// Lines come one at a time. A status line after a head that ended starts
// the next response (the one before was interim), so only the final head is
// kept; the trailers of a chunked body, which follow its head too, are kept.
std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    std::string_view line(data, size * count);
    if (transfer->headEnded && line.starts_with("HTTP/"))
        transfer->result->rawHeaders.clear();
    transfer->headEnded = line == "\r\n" || line == "\n";
    transfer->result->rawHeaders.append(line);
    return size * count;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto* transfer = static_cast<Transfer*>(user);
    std::size_t bytes = size * count;
    auto& body = transfer->result->body;
    if (bytes > transfer->maxBody - body.size()) {
        transfer->tooLarge = true;
        return 0; // aborts the transfer
    }
    body.insert(body.end(), reinterpret_cast<const std::uint8_t*>(data),
                reinterpret_cast<const std::uint8_t*>(data) + bytes);
    return bytes;
}

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

} // namespace

bool ensureLink() {
    return true;
}

HttpGetResult httpGet(const HttpGetRequest& request, const HttpLimits& limits) {
    initialiseCurlOnce();
    HttpGetResult result;
    CURL* curl = curl_easy_init();
    if (!curl) {
        result.error = "cannot create a transfer";
        return result;
    }
    std::string target = request.target.empty() ? "/" : request.target;
    if (target.front() != '/')
        target.insert(target.begin(), '/');
    std::string host = request.host;
    if (host.find(':') != std::string::npos && host.front() != '[')
        host = "[" + host + "]";
    std::string url = "http://" + host + ":" + std::to_string(request.port) + target;

    curl_slist* headers = nullptr;
    // Without an accept type no "Accept" line goes out at all.
    std::string accept = request.accept.empty() ? "Accept:" : "Accept: " + request.accept;
    headers = curl_slist_append(headers, accept.c_str());
    for (const auto& [name, value] : request.headers) {
        std::string line = name + ": " + value;
        headers = curl_slist_append(headers, line.c_str());
    }

    Transfer transfer{&result, limits.maxBody};
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, CURL_HTTP_VERSION_1_0);
    curl_easy_setopt(curl, CURLOPT_USERAGENT, "CeHttp");
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, limits.timeoutMs);
    curl_easy_setopt(curl, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBody));
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, errorText);

    CURLcode code = curl_easy_perform(curl);
    long status = 0;
    if (code == CURLE_OK)
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (code == CURLE_OK && status >= 100 && status <= 999) {
        result.ok = true;
        result.status = static_cast<int>(status);
    } else if (code == CURLE_OK) {
        result.error = "malformed status code";
        result.body.clear();
    } else {
        result.error = transfer.tooLarge ? "response body over the limit"
                                         : (errorText[0] ? errorText : curl_easy_strerror(code));
        result.body.clear();
    }
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    return result;
}

} // namespace host::net
