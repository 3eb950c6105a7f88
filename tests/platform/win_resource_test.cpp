// The owning types of platform/win_resource.h and platform/com_resource.h:
// every handle, reference and variant is given back once, whichever way it goes.
#include "platform/win_resource.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/com_resource.h"

namespace tabulon {
namespace {

int closes = 0;
void CountClose(int*) {
    ++closes;
}
int slot = 0;

using UniqueCounted = UniqueHandle<int*, &CountClose>;

TEST(UniqueHandle, ClosesEachHandleOnce) {
    closes = 0;
    {
        UniqueCounted none;
        EXPECT_FALSE(none);
    }
    EXPECT_EQ(closes, 0) << "nothing held, nothing closed";
    {
        UniqueCounted a(&slot);
        UniqueCounted b(std::move(a));
        EXPECT_FALSE(a);
        EXPECT_TRUE(b);
        UniqueCounted c;
        c = std::move(b);
        EXPECT_EQ(closes, 0);
    }
    EXPECT_EQ(closes, 1) << "moves hand over";
    {
        UniqueCounted a(&slot);
        a.reset(&slot + 1);
        EXPECT_EQ(closes, 2) << "reset closes the old";
        *a.put() = &slot;
        EXPECT_EQ(closes, 3) << "put closes the old";
        int* released = a.release();
        EXPECT_EQ(released, &slot);
    }
    EXPECT_EQ(closes, 3) << "released: not closed";
}

TEST(UniqueFile, HoldsInvalidHandleValueAsNoneAndClosesTheFile) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"tabulon-unique-file-" + std::to_wstring(GetCurrentProcessId());
    const UniqueFile missing(
        CreateFileW((path + L".missing").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.get(), INVALID_HANDLE_VALUE);

    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    EXPECT_FALSE(DeleteFileW(path.c_str())) << "open without sharing: cannot be deleted";
    file.reset();
    EXPECT_TRUE(DeleteFileW(path.c_str())) << "closed by reset";
}

// A COM object that counts its references; it offers IUnknown and IPersist.
class Counted final : public IPersist {
public:
    ULONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist)) {
            *out = static_cast<IPersist*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE GetClassID(CLSID*) override { return E_NOTIMPL; }
};

TEST(ComPtr, CountsReferencesAndQueriesByType) {
    Counted object;
    {
        ComPtr<IUnknown> shared = ComPtr<IUnknown>::Share(&object);
        EXPECT_EQ(object.refs, 2u);
        ComPtr<IUnknown> copy = shared;
        EXPECT_EQ(object.refs, 3u);
        ComPtr<IUnknown> moved = std::move(copy);
        EXPECT_FALSE(copy);
        EXPECT_EQ(object.refs, 3u);

        HRESULT hr = E_FAIL;
        ComPtr<IPersist> persist = shared.Query<IPersist>(&hr);
        EXPECT_EQ(hr, S_OK);
        EXPECT_EQ(persist.get(), &object);
        EXPECT_EQ(object.refs, 4u);
        ComPtr<IDispatch> dispatch = shared.Query<IDispatch>(&hr);
        EXPECT_EQ(hr, E_NOINTERFACE);
        EXPECT_FALSE(dispatch);
        EXPECT_EQ(object.refs, 4u);
    }
    EXPECT_EQ(object.refs, 1u) << "every reference given back";
    object.AddRef();
    { const ComPtr<IPersist> adopted = ComPtr<IPersist>::Adopt(&object); }
    EXPECT_EQ(object.refs, 1u) << "an adopted reference is released, none added";
}

TEST(UniqueVariant, ClearsWhatItHoldsOnce) {
    Counted object;
    {
        UniqueVariant held;
        held.vt = VT_UNKNOWN;
        held.punkVal = &object;
        object.AddRef();
        UniqueVariant moved(std::move(held));
        EXPECT_EQ(held.vt, VT_EMPTY);
        UniqueVariant assigned;
        assigned = std::move(moved);
        EXPECT_EQ(object.refs, 2u);
    }
    EXPECT_EQ(object.refs, 1u);
    UniqueVariant text;
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"text");
    VARIANT* slot = text.put();
    EXPECT_EQ(slot->vt, VT_EMPTY) << "put clears before it hands the variant out";
}

}  // namespace
}  // namespace tabulon
