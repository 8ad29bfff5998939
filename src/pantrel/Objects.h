#pragma once

#include "pantrel.h"

#include <atomic>

namespace pantrel {

// Counts the live objects and server locks, for DllCanUnloadNow.
namespace lifetime {
void objectCreated();
void objectDestroyed();
void lock(bool on);
bool canUnload();
} // namespace lifetime

// Reference counting shared by every class the library hands out.
template <typename Interface> class RefCounted : public Interface
{
public:
    RefCounted() { lifetime::objectCreated(); }
    RefCounted(const RefCounted &) = delete;
    RefCounted &operator=(const RefCounted &) = delete;

    std::uint32_t AddRef() override { return ++m_refs; }
    std::uint32_t Release() override
    {
        const std::uint32_t left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

protected:
    ~RefCounted() override { lifetime::objectDestroyed(); }

    HResult answer(const QUuid &iid, const QUuid &own, void **object)
    {
        if (!object)
            return E_POINTER;
        if (iid == own || iid == IID_IUnknown) {
            *object = static_cast<Interface *>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }

private:
    std::atomic<std::uint32_t> m_refs{1};
};

} // namespace pantrel
