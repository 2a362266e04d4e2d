#include "render/amount_cell.h"

#include "render/html_text.h"
#include "render/money_text.h"

namespace velmora::render {
namespace {

// "999,999,999.99" and "-99,999,999.99" fit the column in the usual type.
constexpr std::size_t kUsualLength = 14;
// "-999,999,999,999.99" fits in the smaller type, every larger amount the
// moneyText prints in the smallest.
constexpr std::size_t kSmallerLength = 19;

std::string_view sizeClass(const std::string& amount) {
    if (!isMoneyText(amount))
        return " text";
    if (amount.size() <= kUsualLength)
        return "";
    return amount.size() <= kSmallerLength ? " long" : " longer";
}

} // namespace

std::string amountCell(std::string_view cls, const std::string& amount) {
    if (amount.empty())
        return cell(cls, "");
    return cell(std::string(cls) + std::string(sizeClass(amount)), htmlText(amount));
}

} // namespace velmora::render
