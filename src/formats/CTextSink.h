// Text written a piece at a time: a writer fills its buffer and hands it on whenever it holds
// kPieceBytes, so that exporting a big record never holds the whole file. Put returns false to
// stop the writer (the disk is full).
#pragma once

#include <charconv>
#include <functional>
#include <string>
#include <string_view>

class CTextSink {
public:
    static constexpr std::size_t kPieceBytes = std::size_t{1} << 20;
    using Put = std::function<bool(std::string_view)>;

    explicit CTextSink(Put put) : m_put(std::move(put)) { m_text.reserve(kPieceBytes + 4096); }

    CTextSink& operator<<(std::string_view text) {
        m_text += text;
        return *this;
    }
    // The shortest text that reads back as the same number.
    template <typename T> CTextSink& Number(T value) {
        char text[32];
        const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
        m_text.append(text, ec == std::errc() ? end : text);
        return *this;
    }
    // Hands on what is held once it is a piece's worth; false once Put said stop.
    bool Flush(bool bFinal = false) {
        if (m_bStopped || (!bFinal && m_text.size() < kPieceBytes))
            return !m_bStopped;
        m_bStopped = !m_put(m_text);
        m_text.clear();
        return !m_bStopped;
    }

private:
    Put m_put;
    std::string m_text;
    bool m_bStopped = false;
};
