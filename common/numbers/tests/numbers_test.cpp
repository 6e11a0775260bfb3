#include "common/numbers/failure.h"
#include "common/numbers/numbers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>
#include <random>
#include <string>

namespace vantero {
namespace {

struct WellFormed {
    const char* text;
    long double value;
};

void PrintTo(const WellFormed& w, std::ostream* os) {
    *os << '"' << w.text << '"';
}

class ParsesWellFormedNumbers : public testing::TestWithParam<WellFormed> {};

TEST_P(ParsesWellFormedNumbers, toTheNumberWritten) {
    EXPECT_EQ(parseNumber(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ParsesWellFormedNumbers,
    testing::Values(WellFormed{"5", 5}, WellFormed{"5.", 5}, WellFormed{".5", 0.5L},
                    WellFormed{"5.25", 5.25L}, WellFormed{"+3", 3}, WellFormed{"-12", -12},
                    WellFormed{"0.35", 0.35L}, WellFormed{"1e3", 1000}, WellFormed{"1E-3", 1e-3L},
                    WellFormed{"-2.5e+2", -250}, WellFormed{"007", 7},
                    // blanks around the number are ignored
                    WellFormed{"0.35 ", 0.35L}, WellFormed{"  -12  ", -12}, WellFormed{"\t4\t", 4},
                    // empty and blank texts give zero
                    WellFormed{"", 0}, WellFormed{"   ", 0},
                    // below the range of a double: zero
                    WellFormed{"1e-400", 0}, WellFormed{"-1e-5000", 0}));

class RejectsMalformedText : public testing::TestWithParam<const char*> {};

TEST_P(RejectsMalformedText, withTheTextAsTyped) {
    const std::string typed = GetParam();
    try {
        parseNumber(typed);
        ADD_FAILURE() << '"' << typed << "\" was accepted";
    } catch (const NumberFormatFailure& failure) {
        EXPECT_EQ(failure.text(), "\"" + typed + "\" não é um número válido");
        EXPECT_EQ(failure.typed(), typed);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, RejectsMalformedText,
                         testing::Values("0,35", "1,5", "0.35x", "-12x", "abc", ".", "+", "-", "e5",
                                         "5e", "5e+", "1..2", "1.2.3", "0x10", "inf", "nan", "1 2",
                                         "--1", "1e5.5", " 0,35 ", "1e", "+-1", "١"));

TEST(ParseNumber, quotesTheTextExactlyAsTyped) {
    // State: a comma typed as decimal separator, with blanks around it.
    // Expected: the message quotes the blanks too.
    EXPECT_THROW(
        {
            try {
                parseNumber(" 0,35");
            } catch (const NumberFormatFailure& f) {
                EXPECT_EQ(f.text(), "\" 0,35\" não é um número válido");
                throw;
            }
        },
        NumberFormatFailure);
}

TEST(ParseNumber, beyondTheRangeOfADoubleIsAnOverflow) {
    for (const char* text : {"1e309", "-1e309", "1e400", "1e5000", "2e308"}) {
        try {
            parseNumber(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const ArithmeticFault& fault) {
            EXPECT_EQ(fault.kind(), FaultKind::Overflow) << text;
            EXPECT_EQ(fault.text(), "Floating point overflow");
        }
    }
    EXPECT_EQ(parseNumber("1.7976931348623157e308"), 1.7976931348623157e308L);
}

TEST(ParseNumber, yieldsTheWidestType) {
    // 0.1 as a long double is nearer to a tenth than the double 0.1.
    EXPECT_EQ(parseNumber("0.1"), 0.1L);
    EXPECT_NE(parseNumber("0.1"), static_cast<long double>(0.1));
}

TEST(ParseNumber, ignoresTheUserLocale) {
    // State: a locale whose decimal separator is a comma, where one exists.
    // Expected: "." still separates decimals and "," is still refused.
    const std::string saved = std::setlocale(LC_NUMERIC, nullptr);
    bool switched = false;
    for (const char* name : {"pt_BR.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) != nullptr) {
            switched = true;
            break;
        }
    }
    EXPECT_EQ(parseNumber("2.5"), 2.5L);
    EXPECT_THROW(parseNumber("2,5"), NumberFormatFailure);
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!switched) {
        GTEST_SKIP() << "no locale with a decimal comma is installed";
    }
}

TEST(NumberText, defersTheFailureToTheStepThatConverts) {
    const NumberText good("34");
    EXPECT_TRUE(good.isNumber());
    EXPECT_EQ(good.value(), 34);

    const NumberText bad("3,4");
    EXPECT_FALSE(bad.isNumber());
    EXPECT_EQ(bad.text(), "3,4");
    try {
        (void)bad.value("bitRate");
        ADD_FAILURE() << "no failure";
    } catch (const NumberFormatFailure& f) {
        EXPECT_EQ(f.input(), "bitRate");
        EXPECT_EQ(f.text(), "\"3,4\" não é um número válido");
    }

    const NumberText huge("1e400");
    EXPECT_FALSE(huge.isNumber());
    EXPECT_THROW((void)huge.value(), ArithmeticFault);

    EXPECT_EQ(NumberText::of(2.5L).value(), 2.5L);
    EXPECT_EQ(NumberText().value(), 0);

    // A sweep sets a number in place of the text; beyond a double it faults
    // as the text does.
    NumberText swept("3,4");
    swept.setNumber(0.1L);
    EXPECT_EQ(swept.text(), "");
    EXPECT_EQ(swept.value(), 0.1L);
    EXPECT_EQ(swept.stored(), 0.1);
    swept.setNumber(1e400L);
    EXPECT_THROW((void)swept.stored(), ArithmeticFault);
}

// State: random decimals of every length and scale, in each of their forms.
// Action: parse them. Expected: the very long double strtold rounds them to.
TEST(ParseNumber, roundsEveryDecimalAsStrtoldDoes) {
    std::mt19937_64 random(23);
    const auto digits = [&](int count) {
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += static_cast<char>('0' + random() % 10);
        }
        return text;
    };
    for (int i = 0; i < 200000; ++i) {
        const int whole = static_cast<int>(random() % 12);
        const int fraction = static_cast<int>(random() % 14);
        std::string text = (random() % 4 == 0 ? "-" : "") + digits(whole);
        if (fraction > 0 || whole == 0) {
            text += "." + digits(std::max(fraction, 1));
        }
        if (random() % 3 == 0) {
            text += "e" + std::to_string(static_cast<int>(random() % 80) - 40);
        }
        const long double expected = std::strtold(text.c_str(), nullptr);
        if (static_cast<double>(expected) == 0) {
            continue; // below a double: 0, whatever its sign
        }
        ASSERT_EQ(parseNumber(text), expected) << text;
    }
}

} // namespace
} // namespace vantero
