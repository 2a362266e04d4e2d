// The money form of amounts on the statement page.
#include "render/money_text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace velmora::render {
namespace {

TEST(RenderMoney, NumericTextsRoundToCentsWithSeparators) {
    const std::pair<const char*, const char*> cases[] = {
        {"205000.", "205,000.00"},
        {"250812.4", "250,812.40"},
        {"1.2345678901234e+014", "123,456,789,012,340.00"},
        {"2636.9799804688", "2,636.98"},
        {"2.675", "2.68"},
        {"0.004", "0.00"},
        {"0.005", "0.01"},
        {"999.995", "1,000.00"},
        {".5", "0.50"},
        {"+12", "12.00"},
        {"  18900.00", "18,900.00"},
        {"\t18900.00\r\n", "18,900.00"},
        {"0", "0.00"},
        {"123", "123.00"},
        {"1234", "1,234.00"},
        {"25E-3", "0.03"},
        {"999999999999999.99", "999,999,999,999,999.99"},
    };
    for (const auto& [stored, money] : cases)
        EXPECT_EQ(moneyText(stored), money) << stored;
}

TEST(RenderMoney, NegativeAmountsTakeAMinusAndZeroNone) {
    EXPECT_EQ(moneyText("-1234567.891"), "-1,234,567.89");
    EXPECT_EQ(moneyText("-0.75"), "-0.75");
    EXPECT_EQ(moneyText("-0.004"), "0.00");
    EXPECT_EQ(moneyText(-66679.4921875), "-66,679.49");
    EXPECT_EQ(moneyText(-0.0), "0.00");
}

TEST(RenderMoney, TextsThatAreNoNumberAndHugeAmountsStandAsStored) {
    for (const char* stored : {"", "N/A", "1,234.00", "$12", "12..5", "1e", "1e+", "--1", "12 5",
                               ".", "1000000000000000", "1e+300", "0x10"})
        EXPECT_EQ(moneyText(stored), stored);
    EXPECT_EQ(moneyText("1e-400"), "0.00");
}

TEST(RenderMoney, DoublesRoundFromTheirValue) {
    EXPECT_EQ(moneyText(66679.4921875), "66,679.49");
    EXPECT_EQ(moneyText(static_cast<double>(2636.98f)), "2,636.98");
    EXPECT_EQ(moneyText(123456789012340.0), "123,456,789,012,340.00");
    EXPECT_EQ(moneyText(2.675), "2.68");
    EXPECT_EQ(moneyText(1e20), "1.e+020");
    EXPECT_EQ(moneyText(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_EQ(moneyText(std::nan("")), "nan");
}

// Rates print without the trailing point or zeros the stored texts carry;
// a zero is told apart from a text that is no number.
TEST(RenderMoney, RatesAndZeros) {
    const std::pair<const char*, const char*> rates[] = {
        {"6.", "6"},           {"1.5", "1.5"},       {"2.8750", "2.875"}, {"0.125", "0.125"},
        {"7.00005", "7.0001"}, {"-0.5", "-0.5"},     {"-0.00001", "0"},   {"1.e+001", "10"},
        {"N/A", "N/A"},        {"1e+300", "1e+300"},
    };
    for (const auto& [stored, rate] : rates)
        EXPECT_EQ(percentText(stored), rate) << stored;
    for (const char* zero : {"0", "0.00", "0.", " 0 ", "-0.001", "0e5"})
        EXPECT_TRUE(isZeroAmount(zero)) << zero;
    for (const char* other : {"", "0.01", "abc", "O"})
        EXPECT_FALSE(isZeroAmount(other)) << other;
    for (const char* money : {"0.00", "-1,234.50", "999,999,999,999,999.99"})
        EXPECT_TRUE(isMoneyText(money)) << money;
    for (const char* stored : {"", "1e+300", "N/A", "12.5", "1.2.34", "-"})
        EXPECT_FALSE(isMoneyText(stored)) << stored;
}

} // namespace
} // namespace velmora::render
