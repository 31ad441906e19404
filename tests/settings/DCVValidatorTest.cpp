#include "settings/DCVValidator.h"
#include "settings/TKCodeSet.h"

#include <gtest/gtest.h>
#include <thread>

using namespace dcv;

namespace {

TEST(DCVValidatorTest, GsensorThreshold) {
    const ValidationMessage invalid{"msg.input_value_invalid_format", {}};
    const ValidationMessage range{"msg.gsensor_outofrange_fmt", {0.05, 1.5}};
    struct {
        std::optional<std::string> text;
        ValidationResult result;
    } cases[] = {
        {std::nullopt, std::nullopt},
        {"", std::nullopt},
        {"abc", invalid},
        {"0.04", range},
        {"1.51", range},
        {"0.05", std::nullopt},
        {"1.5", std::nullopt},
        {"0.7x", std::nullopt},
        {"  0.7", std::nullopt},
        {".5", std::nullopt},
        {"5.", range},
        {"-0.1", range},
        {"+0.1", std::nullopt},
        {"5e-2", std::nullopt},
        {".", invalid},
        {" ", invalid},
        {"e5", invalid},
        {"2e", range}, // an exponent without digits is not one: 2 and a letter
        {"--1", invalid},
        {"1e999", range},
        {"1e-999", range},
        {"0,5", range},
        {"nan", invalid},
        {"inf", invalid},
        {"0x1", range},
        {"0.0500000000001", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = c.text ? DCVValidator::validateGsensorThreshold(std::string_view(*c.text))
                                : DCVValidator::validateGsensorThreshold(std::nullopt);
        EXPECT_EQ(got, c.result) << (c.text ? "\"" + *c.text + "\"" : "missing");
    }
}

TEST(DCVValidatorTest, NumbersInText) {
    struct {
        std::string text;
        bool isNumber;
        std::string numeric;
    } cases[] = {
        // Which texts scan as numbers is checked through the threshold above.
        {" 3", true, " 3"},  {"3 ", false, "3"},      {"-2.5e3x", false, "-2.5e3"},
        {"1e+", false, "1"}, {"1.2.3", false, "1.2"}, {"kg", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DCVValidator::stringIsNumber(c.text), c.isNumber) << "\"" << c.text << "\"";
        EXPECT_EQ(DCVValidator::numericStringFromString(c.text), c.numeric) << "\"" << c.text << "\"";
    }
}

TEST(DCVValidatorTest, CarNumberFilter) {
    struct {
        std::string text, kept;
    } cases[] = {
        {"12-AB 34", "12AB34"},
        {"ABCDEFGHIJ", "ABCDEFGH"},
        {"\xEC\xB0\xA8 12\xEA\xB0\x80 3456", "123456"}, // Hangul letters are not ASCII letters
        {"Stra\xC3\x9Fx9", "Strax9"},
        {"a_b.c!d@e#f$g%h^i", "abcdefgh"},
        {"", ""},
        {std::string("12") + '\0' + "x34", "12x34"}, // a NUL inside the text is dropped too
    };
    for (const auto& c : cases)
        EXPECT_EQ(filterCarNumber(c.text), c.kept) << c.text;
}

TEST(TKCodeSetTest, FirstCodeOfAnIdWins) {
    TKCodeSet set;
    const TKCodePtr a = TKCode::codeWithCodeId("01", "first");
    const TKCodePtr b = TKCode::codeWithCodeId("01", "second");
    const TKCodePtr c = TKCode::codeWithCodeId("02", "other");
    EXPECT_EQ(set.addCode(a), a);
    EXPECT_EQ(set.addCode(b), b); // returned although not added
    EXPECT_EQ(set.addCode(c), c);
    EXPECT_EQ(set.addCode(nullptr), nullptr);
    const auto list = set.codeList();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0], a);
    EXPECT_EQ(list[1], c);
    EXPECT_EQ(set.codeDic().size(), 2u);
    EXPECT_EQ(set.findCodeWithCodeId("01"), a);
    EXPECT_EQ(set.findCodeWithCodeId("03"), nullptr);
    EXPECT_EQ(set.findCodeWithCodeId(std::nullopt), nullptr);
}

TEST(TKCodeSetTest, ConcurrentAddsKeepEachIdOnce) {
    TKCodeSet set;
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&set, t] {
            for (int i = 0; i < 500; ++i)
                set.addCode(TKCode::codeWithCodeId(std::to_string(i), "thread " + std::to_string(t)));
        });
    for (auto& th : threads)
        th.join();
    const auto list = set.codeList();
    EXPECT_EQ(list.size(), 500u);
    const auto dic = set.codeDic();
    EXPECT_EQ(dic.size(), 500u);
    for (const auto& code : list)
        EXPECT_EQ(dic.at(code->codeId()), code) << code->codeId();
}

} // namespace
