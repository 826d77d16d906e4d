#!/usr/bin/env bash
# Writes the seeds of the http_response harness into fuzz/corpus/http_response:
# each is one byte of slice size (0: the server writes the response at once)
# and then the raw response.
set -euo pipefail
out="$(dirname "$0")/corpus/http_response"
mkdir -p "$out"

# seed NAME SLICE RESPONSE (printf escapes allowed in RESPONSE)
seed() {
    { printf "\\x$(printf %02x "$2")"; printf '%b' "$3"; } >"$out/$1"
}

seed plain_200 0 'HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 5\r\n\r\nhello'
seed no_length 0 'HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\n\r\n\x01\x02\x03 to the end'
seed not_found 0 'HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot found'
seed cut_body 0 'HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly a part'
seed garbage_head 0 '\x01\x02 what is this\r\n\xff\xfe\r\n\r\nbody'
seed huge_length 0 'HTTP/1.0 200 OK\r\nContent-Length: 99999999999999\r\n\r\nabc'
seed chunked 0 'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n6\r\n world\r\n0\r\n\r\n'
seed header_without_colon 0 'HTTP/1.0 200 OK\r\nNo colon here\r\nContent-Length: 2\r\n\r\nok'
seed sliced 3 'HTTP/1.1 200 OK\r\nX-Slow: yes\r\nContent-Length: 26\r\n\r\nabcdefghijklmnopqrstuvwxyz'
seed long_header_line 0 "HTTP/1.0 200 OK\\r\\nX-Long: $(head -c 10000 /dev/zero | tr '\0' 'v')\\r\\nContent-Length: 4\\r\\n\\r\\nlong"
seed interim_then_200 0 'HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok'
seed code_then_carriage_return 0 'HTTP/1.0 200\rK\r\nContent-Length: 2\r\n\r\nok'
seed nul_in_head 0 'HTTP/1.0 200 OK\r\n\x00\x00Content-Type: text/plain\r\nContent-Length: 5\r\n\r\nhello'
