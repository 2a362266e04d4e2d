// The arguments of one IDispatch::Invoke call, taken apart.
//
// Scripting hosts pass arguments in many forms: typed references
// (VT_BYREF|VT_BSTR, VT_BYREF|VT_I4, VT_BYREF|VT_INT) from compiled clients,
// references to variants (VT_BYREF|VT_VARIANT) from VBScript, and values of
// any type that converts. In-arguments are converted to the parameter's type;
// an out-argument names the place its result goes, which is written only when
// the method produced a result.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <array>

namespace velmora::com {

enum class Parameter { InText, InNumber, OutText, OutNumber };

inline constexpr UINT kMostParameters = 5;

// The parameter list of a method, in declaration order.
struct MethodShape {
    UINT count;
    std::array<Parameter, kMostParameters> parameters;
};

// The shape of the method with id `member` (1 to 17), or nullptr.
const MethodShape* methodShape(DISPID member);

class DispatchArguments {
public:
    DispatchArguments() = default;
    ~DispatchArguments();
    DispatchArguments(const DispatchArguments&) = delete;
    DispatchArguments& operator=(const DispatchArguments&) = delete;

    // Matches the caller's arguments to the parameters of `shape` and
    // converts the in-arguments. On failure *argumentError is the index in
    // params->rgvarg of the argument at fault (where there is one).
    HRESULT take(const MethodShape& shape, const DISPPARAMS& params, UINT* argumentError);

    BSTR text(UINT parameter) const { return slots_[parameter].value.bstrVal; }
    LONG number(UINT parameter) const { return slots_[parameter].value.lVal; }
    BSTR* textOut(UINT parameter) { return &slots_[parameter].textResult; }
    INT* numberOut(UINT parameter) { return &slots_[parameter].numberResult; }

    // Hands the results that the call produced to the caller's places.
    void deliver();

private:
    struct Slot {
        Parameter kind = Parameter::InText;
        VARIANTARG* source = nullptr;
        UINT position = 0;
        VARIANT value{};
        BSTR textResult = nullptr;
        INT numberResult = 0;
    };

    HRESULT convertIn(Slot& slot);
    static HRESULT checkOut(const Slot& slot);

    UINT count_ = 0;
    std::array<Slot, kMostParameters> slots_{};
};

} // namespace velmora::com
