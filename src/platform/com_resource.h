// Ownership of COM objects, BSTRs and VARIANTs, so that automation code has no
// Release, SysFreeString or VariantClear of its own.
#pragma once

#include <windows.h>
// The OLE headers need windows.h first.
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <utility>

#include "platform/win_resource.h"

namespace tabulon {

using UniqueBstr = UniqueHandle<BSTR, &::SysFreeString>;

// One counted reference to a COM interface. Copies add a reference.
template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already holds (a result of QueryInterface,
    // GetActiveObject ...).
    static ComPtr Adopt(T* p) noexcept {
        ComPtr ptr;
        ptr.p_ = p;
        return ptr;
    }
    // Adds a reference of its own to p.
    static ComPtr Share(T* p) noexcept {
        if (p) p->AddRef();
        return Adopt(p);
    }
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) noexcept : p_(other.p_) {
        if (p_) p_->AddRef();
    }
    ComPtr& operator=(const ComPtr& other) noexcept {
        if (this != &other) *this = Share(other.p_);
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            reset();
            p_ = std::exchange(other.p_, nullptr);
        }
        return *this;
    }

    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void reset() noexcept {
        if (T* old = std::exchange(p_, nullptr)) old->Release();
    }
    // Releases what is held and gives the slot to a function that returns an
    // interface through a pointer.
    T** put() noexcept {
        reset();
        return &p_;
    }

    // QueryInterface for U; empty when the object does not offer it. The
    // result of the call goes to *result when asked for.
    template <typename U>
    ComPtr<U> Query(HRESULT* result = nullptr) const {
        ComPtr<U> other;
        const HRESULT hr = p_ ? p_->QueryInterface(__uuidof(U), reinterpret_cast<void**>(other.put())) : E_POINTER;
        if (result) *result = hr;
        if (FAILED(hr)) other.reset();
        return other;
    }

private:
    T* p_ = nullptr;
};

// A VARIANT that clears what it holds. It is a VARIANT, so its fields are read
// as usual and its address goes wherever a VARIANT* is asked for.
class UniqueVariant : public VARIANT {
public:
    UniqueVariant() noexcept { VariantInit(this); }
    ~UniqueVariant() { VariantClear(this); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;
    // Moving hands the contents over; the source is left empty.
    UniqueVariant(UniqueVariant&& other) noexcept : VARIANT(other) { VariantInit(&other); }
    UniqueVariant& operator=(UniqueVariant&& other) noexcept {
        if (this != &other) {
            VariantClear(this);
            static_cast<VARIANT&>(*this) = other;
            VariantInit(&other);
        }
        return *this;
    }

    // Clears the contents and gives the variant to a function that fills it.
    VARIANT* put() noexcept {
        VariantClear(this);
        return this;
    }
};

// The IUnknown part of a COM object of our own that offers one interface: its
// references counted from one at creation, deleted when the last goes.
template <typename Interface, const IID& kInterfaceId>
class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kInterfaceId)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --refs_;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;

private:
    std::atomic<long> refs_{1};
};

}  // namespace tabulon
