// What the fuzz harnesses share: stopping with a message when a property does
// not hold, reading texts with the C library as the reference, and turning
// the fuzzer's bytes into doubles.
#pragma once

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

namespace utm::fuzz {

/// Stops the run (libFuzzer keeps the input as a crash) when `ok` is false,
/// naming the property and the text or value it failed on.
inline void Require(bool ok, const char* property, std::string_view subject) {
    if (ok) return;
    std::fprintf(stderr, "property failed: %s\n  on: \"", property);
    for (const char c : subject) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7f && c != '"' && c != '\\') {
            std::fputc(c, stderr);
        } else {
            std::fprintf(stderr, "\\x%02x", u);
        }
    }
    std::fprintf(stderr, "\"\n");
    std::abort();
}

/// A double with its bit pattern, for messages about values.
inline std::string Describe(double value) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    char text[80];
    std::snprintf(text, sizeof text, "%.17g (bits 0x%016llx)", value,
                  static_cast<unsigned long long>(bits));
    return text;
}

/// Whether two doubles are the same bit for bit (so 0 differs from -0, and
/// a NaN equals a NaN only with the same payload).
inline bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

/// strtod on the whole of `text` (in the "C" locale libFuzzer runs in):
/// false when strtod stops before its end.
inline bool StrtodWhole(std::string_view text, double& value) {
    const std::string copy(text);  // NUL-terminated; an embedded NUL ends the reading early
    char* end = nullptr;
    value = std::strtod(copy.c_str(), &end);
    return !copy.empty() && end == copy.c_str() + copy.size();
}

/// The doubles a writer harness checks, taken from the fuzzer's bytes. The
/// first byte chooses how the rest is read:
///   0 mod 3: every 8 bytes are the bit pattern of a double (any pattern:
///            NaNs, infinities, subnormals, -0);
///   1 mod 3: the rest is a decimal text read by strtod ("0.0005", "1e15"),
///            giving that double and its two neighbours;
///   2 mod 3: 8 bytes are an integer m, one more byte a power of ten p; the
///            value is (m + 1/2) * 10^p, a decimal tie, and its two neighbours.
inline std::vector<double> ValuesFromBytes(const std::uint8_t* data, std::size_t size) {
    std::vector<double> values;
    if (size == 0) return values;
    const unsigned mode = data[0] % 3;
    ++data;
    --size;
    const auto withNeighbours = [&values](double v) {
        values.push_back(v);
        values.push_back(std::nextafter(v, -std::numeric_limits<double>::infinity()));
        values.push_back(std::nextafter(v, std::numeric_limits<double>::infinity()));
    };
    if (mode == 0) {
        // At most 8 values, so that long inputs do not slow the run down.
        for (std::size_t i = 0; i < size && i < 8 * 8; i += 8) {
            unsigned char bytes[8] = {};
            std::memcpy(bytes, data + i, size - i < 8 ? size - i : 8);
            double v = 0.0;
            std::memcpy(&v, bytes, sizeof v);
            values.push_back(v);
        }
    } else if (mode == 1) {
        const std::string text(reinterpret_cast<const char*>(data), size < 400 ? size : 400);
        withNeighbours(std::strtod(text.c_str(), nullptr));
    } else {
        std::int64_t m = 0;
        unsigned char bytes[8] = {};
        std::memcpy(bytes, data, size < 8 ? size : 8);
        std::memcpy(&m, bytes, sizeof m);
        const int power = size > 8 ? static_cast<int>(data[8] % 64) - 40 : -3;
        // The text "<m>5e<power - 1>" is exactly (m + 1/2) * 10^power.
        char text[48];
        std::snprintf(text, sizeof text, "%lld5e%d", static_cast<long long>(m % 1000000000000000LL),
                      power - 1);
        withNeighbours(std::strtod(text, nullptr));
    }
    return values;
}

/// The 15 significant digits of |value| (finite, not zero) as the C library
/// rounds them ("%.14e"), without trailing zeros, and the power of ten of the
/// first digit.
struct Digits15 {
    std::string digits;
    int exponent = 0;
};

inline Digits15 PrintfDigits15(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", std::fabs(value));
    Digits15 d;
    const char* p = text;
    for (; *p != 'e'; ++p) {
        if (*p != '.') d.digits.push_back(*p);
    }
    d.exponent = std::atoi(p + 1);
    while (d.digits.size() > 1 && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

/// Writes `bytes` into a new file in /tmp whose name ends in `suffix`, and
/// gives its path; the caller removes it.
inline std::string TempFile(std::string_view bytes, std::string_view suffix = "") {
    std::string name = "/tmp/utm-fuzz-XXXXXX";
    name += suffix;
    const int fd = ::mkstemps(name.data(), static_cast<int>(suffix.size()));
    if (fd < 0) std::abort();
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) std::abort();
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    return name;
}

}  // namespace utm::fuzz
