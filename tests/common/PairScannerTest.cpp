// The fast path of the batch runs must read exactly what the general reader
// reads, and decline everything else.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <string>

#include "common/FastNumberFormat.h"
#include "common/GeneralFormText.h"
#include "common/PairScanner.h"

namespace {

using utm::ScannedNumber;

/// Scans `line`; on success checks the values and forms against the general
/// reader and returns the bytes left after the line end.
std::optional<std::string> Scan(const std::string& line, char delimiter = ',') {
    const char* p = line.data();
    ScannedNumber a;
    ScannedNumber b;
    if (!utm::ScanPlainPair(p, line.data() + line.size(), delimiter, a, b)) {
        EXPECT_EQ(p, line.data());  // declined lines leave the position alone
        return std::nullopt;
    }
    for (const ScannedNumber* n : {&a, &b}) {
        double value = 0.0;
        EXPECT_TRUE(utm::ParseDecimal(n->text, value)) << n->text;
        EXPECT_EQ(std::signbit(value), std::signbit(n->value)) << n->text;
        EXPECT_EQ(value, n->value) << n->text;
        EXPECT_EQ(n->generalForm, utm::IsGeneralFormText(n->text)) << n->text;
    }
    return std::string(p, line.data() + line.size());
}

TEST(PairScanner, ReadsPlainPairsAndEachLineEnd) {
    EXPECT_EQ(Scan("27.7,85.3\r\nnext"), "next");
    EXPECT_EQ(Scan("27.7,85.3\rnext"), "next");
    EXPECT_EQ(Scan("27.7,85.3\nnext"), "next");
    EXPECT_EQ(Scan("27.7,85.3"), "");
    EXPECT_EQ(Scan("-0,-0.5\r\n"), "");
    EXPECT_EQ(Scan("27.700000,085.300\r\n"), "");
    EXPECT_EQ(Scan("426207.01\t3206261.5\r\n", '\t'), "");
    EXPECT_EQ(Scan("27.,.5\r\n"), "");
    EXPECT_EQ(Scan("123456789012345,0.00000000000001\r\n"), "");
}

TEST(PairScanner, LeavesEverythingElseToTheGeneralReader) {
    for (const char* line :
         {"", "\r\n", "27.7", "27.7,", ",85.3", "27.7,85.3,", "27.7,85.3 ", " 27.7,85.3",
          "+27.7,85.3", "27.7,8e5", "1234567890123456,1", "27.7;85.3", "27.7,85.3\t", "Lat,Long",
          "-,5", ".,5", "1.2.3,4", "nan,1"}) {
        EXPECT_FALSE(Scan(line)) << line;
    }
}

TEST(PairScanner, AgreesWithTheGeneralReaderOnManyLines) {
    std::mt19937_64 random(7);
    const std::string alphabet = "0123456789.-";
    for (int i = 0; i < 200000; ++i) {
        std::string line;
        for (int field = 0; field < 2; ++field) {
            if (field == 1) line += ',';
            const int length = 1 + static_cast<int>(random() % 18);
            for (int k = 0; k < length; ++k) {
                line += random() % 6 == 0 ? alphabet[random() % alphabet.size()]
                                          : static_cast<char>('0' + random() % 10);
            }
        }
        line += "\r\n";
        Scan(line);
    }
}

}  // namespace
