// A zero-filled fixed-size text buffer for paths handed to the system. Every
// append is bounded: text that would not fit (with its terminating zero) is
// refused, the buffer stays as it was, and the refusal sticks.
#pragma once

#include <cstddef>
#include <cstring>

template <size_t N>
class PathBuffer {
public:
    PathBuffer() = default;
    explicit PathBuffer(const char* text) { Append(text); }

    bool Append(const char* text)
    {
        size_t add = text ? std::strlen(text) : 0;
        if (!m_ok || m_len + add >= N) {
            m_ok = false;
            return false;
        }
        std::memcpy(m_text + m_len, text, add);
        m_len += add;
        return true;
    }

    // Adopts text that a system call wrote into Data(); it must be terminated.
    void Adopt()
    {
        m_text[N - 1] = '\0';
        m_len = std::strlen(m_text);
    }

    bool Ok() const { return m_ok; }
    const char* c_str() const { return m_text; }
    char* Data() { return m_text; }
    size_t Length() const { return m_len; }
    static constexpr size_t Capacity() { return N; }

private:
    char m_text[N] = {};
    size_t m_len = 0;
    bool m_ok = true;
};
