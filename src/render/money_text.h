// Amounts as a closing agent prints them: rounded to the cent (half away from
// zero, on the decimal digits as written, so "2.675" is 2.68), with thousands
// separators and a leading minus sign for a negative amount: "1,234.50",
// "-0.75", "0.00". Stored values never change; only the page shows this form.
//
// A text that does not read as a number is printed as it stands, and so is an
// amount of a quadrillion or more, which no deal holds and which would fill
// its column with digits: such a value is more use to a reader as stored.
#pragma once

#include <string>
#include <string_view>

namespace velmora::render {

// `number` is a stored text: optional blanks around it, a sign, digits with
// one optional decimal point, and an optional exponent ("205000.",
// "1.2345678901234e+014", "  18900.00").
std::string moneyText(std::string_view number);

// A stored double in the same form; NaN, the infinities and amounts too large
// for it keep the text the tree gives them.
std::string moneyText(double value);

// A stored rate as the form prints it before "%": at most four decimals,
// without trailing zeros or a trailing point ("6." is "6", "2.8750" is
// "2.875"). A text that is no number stands as stored.
std::string percentText(std::string_view number);

// Whether `text` is an amount as moneyText prints one, not a stored text
// that stood as it was: such a text is kept on one line.
bool isMoneyText(std::string_view text);

// Whether a stored text reads as an amount of zero: "0", "0.00", "0.".
bool isZeroAmount(std::string_view number);

} // namespace velmora::render
