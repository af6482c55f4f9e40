// A COM interface pointer that releases itself.
#pragma once

template <typename Interface>
class ComPtr {
public:
    ComPtr() = default;
    explicit ComPtr(Interface* p) : m_p(p) {}
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (m_p != nullptr) {
            m_p->Release();
        }
    }
    Interface* operator->() const { return m_p; }
    Interface* Get() const { return m_p; }
    void** Receive() { return reinterpret_cast<void**>(&m_p); }

private:
    Interface* m_p = nullptr;
};
