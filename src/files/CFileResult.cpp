#include "CFileResult.h"

#include <cctype>
#include <cstring>

namespace {
std::string Capitalized(std::string text) {
    if (!text.empty())
        text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text;
}
} // namespace

CFileResult CFileResult::Failure(Fault fault, const std::string& path, const std::string& reason) {
    CFileResult r;
    r.m_fault = fault;
    r.m_path = path;
    r.m_reason = reason;
    return r;
}

CFileResult CFileResult::SystemFailure(Fault fault, const std::string& path, int nError) {
    return Failure(fault, path, std::strerror(nError));
}

std::string CFileResult::Error() const {
    std::string what;
    switch (m_fault) {
    case Fault::none:
        return std::string();
    case Fault::open:
        what = "cannot open file: " + m_reason;
        break;
    case Fault::refused:
        what = m_reason;
        break;
    case Fault::read:
        what = "cannot read file: " + m_reason;
        break;
    case Fault::format:
        what = "not a Vorlan document: " + m_reason;
        break;
    case Fault::write:
        what = "cannot write file: " + m_reason;
        break;
    case Fault::track:
        return m_reason;
    case Fault::memory:
        return "not enough memory to read " + m_path;
    case Fault::cancelled:
        return m_path + ": cancelled";
    }
    return m_path.empty() ? what : m_path + ": " + what;
}

std::string CFileResult::Sentence() const {
    switch (m_fault) {
    case Fault::none:
        return std::string();
    case Fault::open:
        return "Cannot open this file: " + m_reason + ".";
    case Fault::refused:
        return "Cannot use this file: it " + m_reason + ".";
    case Fault::read:
        return "Cannot read this file: " + m_reason + ".";
    case Fault::format:
        return "Unexpected file format. " + Capitalized(m_reason) + ".";
    case Fault::write:
        return "Cannot save this file: " + m_reason + ".";
    case Fault::track:
        return m_reason;
    case Fault::memory:
        return "There is not enough memory to read this file.";
    case Fault::cancelled:
        return "The reading was cancelled.";
    }
    return std::string();
}
