#pragma once

// Ogg Vorbis streams made in tests with the reference encoder, which runs as
// the program `vorbis_encode` (VorbisEncodeMain.cpp says why); the tests that
// include this find it through VORLAX_VORBIS_ENCODE (BuildPaths.h).

#include "tests/support/BuildPaths.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace testing_support {

// The stream of `samples` (interleaved), or nothing when the encoder fails.
inline std::vector<std::uint8_t> encodeVorbis(const std::vector<std::int16_t>& samples, int channels,
                                              long rate) {
    static int s_calls = 0;
    auto base = std::filesystem::temp_directory_path() /
                ("vorlax-vorbis-" + std::to_string(::getpid()) + "-" + std::to_string(++s_calls));
    std::string raw = base.string() + ".raw";
    std::string encoded = base.string() + ".ogg";
    {
        std::ofstream out(raw, std::ios::binary);
        out.write(reinterpret_cast<const char*>(samples.data()),
                  static_cast<std::streamsize>(samples.size() * 2));
    }
    std::string program = VORLAX_VORBIS_ENCODE;
    std::string channelText = std::to_string(channels);
    std::string rateText = std::to_string(rate);
    char* argv[] = {program.data(), channelText.data(), rateText.data(), raw.data(), encoded.data(), nullptr};
    pid_t child = 0;
    int status = -1;
    if (posix_spawn(&child, program.c_str(), nullptr, nullptr, argv, environ) == 0)
        waitpid(child, &status, 0);
    std::vector<std::uint8_t> bytes;
    if (status == 0) {
        std::ifstream in(encoded, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::error_code ignored;
    std::filesystem::remove(raw, ignored);
    std::filesystem::remove(encoded, ignored);
    return bytes;
}

} // namespace testing_support
