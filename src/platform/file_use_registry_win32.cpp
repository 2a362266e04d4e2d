// The file-use registry on Windows: a COM component of its own, reached by a
// fixed class id. Each operation creates a new instance (in-process server,
// in-process handler or local server), starts it with OleRun, asks it for the
// registry interface, makes one call and releases everything; nothing is
// cached between calls.
//
// Remote servers are left out on purpose: under Wine in a fresh prefix the
// wider activation can stall for many seconds on every open.
//
//   class     {083B923F-9216-4D14-AA3C-D178807A0AD5}
//   interface {EF2D0742-BC6A-431A-BE68-C83D114DB852}, dual, derived from
//             IDispatch; each operation takes the path as a BSTR and answers
//             a VARIANT_BOOL through an out-parameter.
//
// The operations are reached by their places among the interface's own
// methods (after IDispatch's seven): claimFile 5th, queryFileInUse 6th,
// releaseFile 8th. The other methods are never called.
//
// Every failure is silent and answers "not in use": a component that is not
// installed (as under Wine), that does not start or lacks the interface. COM
// is not initialised here: the calls run on the host's thread, which
// initialised COM to create our object (velmora.exe does it once in main).
// On a thread without COM the creation fails, which is one more silent
// failure.
#include "platform/file_use_registry.h"

#include "platform/code_page.h"

#include <windows.h>

#include <ole2.h>
#include <oleauto.h>

namespace velmora {
namespace {

constexpr CLSID kRegistryClass = {
    0x083b923f, 0x9216, 0x4d14, {0xaa, 0x3c, 0xd1, 0x78, 0x80, 0x7a, 0x0a, 0xd5}};
constexpr IID kRegistryInterface = {
    0xef2d0742, 0xbc6a, 0x431a, {0xbe, 0x68, 0xc8, 0x3d, 0x11, 0x4d, 0xb8, 0x52}};

constexpr std::size_t kDispatchSlots = 7;

enum class Operation : std::size_t { Claim = 5, Query = 6, Release = 8 };

using OperationCall = HRESULT(STDMETHODCALLTYPE*)(IUnknown* self, BSTR path, VARIANT_BOOL* answer);

// The registry interface of a new, running instance, or null.
IUnknown* startRegistry() {
    IUnknown* instance = nullptr;
    constexpr DWORD kContexts = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
    if (FAILED(::CoCreateInstance(kRegistryClass, nullptr, kContexts, IID_IUnknown,
                                  reinterpret_cast<void**>(&instance))) ||
        !instance)
        return nullptr;
    IUnknown* registry = nullptr;
    if (SUCCEEDED(::OleRun(instance)))
        instance->QueryInterface(kRegistryInterface, reinterpret_cast<void**>(&registry));
    instance->Release();
    return registry;
}

OperationCall operationOf(IUnknown* registry, Operation operation) {
    void* const* table = *reinterpret_cast<void* const* const*>(registry);
    const std::size_t slot = kDispatchSlots + static_cast<std::size_t>(operation) - 1;
    return reinterpret_cast<OperationCall>(table[slot]);
}

// The operation's answer; false on any failure. The call's own result is not
// looked at: only the answer counts.
bool call(Operation operation, const std::string& path) {
    IUnknown* registry = startRegistry();
    if (!registry)
        return false;
    const std::wstring wide = ansiToWide(path);
    BSTR text = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    VARIANT_BOOL answer = VARIANT_FALSE;
    if (text) {
        operationOf(registry, operation)(registry, text, &answer);
        ::SysFreeString(text);
    }
    registry->Release();
    return answer != VARIANT_FALSE;
}

class ComponentRegistry final : public FileUseRegistry {
public:
    bool queryFileInUse(const std::string& path) override { return call(Operation::Query, path); }
    void claimFile(const std::string& path) override { call(Operation::Claim, path); }
    void releaseFile(const std::string& path) override { call(Operation::Release, path); }
};

} // namespace

FileUseRegistry& systemFileUseRegistry() {
    static ComponentRegistry component;
    return component;
}

} // namespace velmora
