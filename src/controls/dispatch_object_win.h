#pragma once
#include <windows.h>
#include <oaidl.h>

namespace lumaforge {

// A COM object of one dispatch-based interface that belongs to its references: it answers for
// IUnknown, IDispatch and its own interface, deletes itself with the last reference and has no
// type information (its callers use the interface's methods, or Invoke by DISPID). The object
// starts with the one reference its creator holds; Invoke and the interface's methods are its own.
template <typename Interface>
class DispatchObject : public Interface {
public:
    DispatchObject(const DispatchObject&) = delete;
    DispatchObject& operator=(const DispatchObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == ownInterface_) {
            *out = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count)
            *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

protected:
    explicit DispatchObject(const IID& ownInterface) : ownInterface_(ownInterface) {}
    virtual ~DispatchObject() = default;

private:
    const IID& ownInterface_;
    LONG references_ = 1;
};

}  // namespace lumaforge
