#include "LocalPath.h"

#include <QDir>

#include <climits>
#include <cstdint>
#include <cstring>
#include <unistd.h>

namespace {
// A stray byte b is held as U+DC00 + b; only bytes of 0x80 and above can be stray.
constexpr char16_t kStrayBase = 0xDC00;
constexpr char16_t kStrayFirst = 0xDC80;
constexpr char16_t kStrayLast = 0xDCFF;

// The length of the valid UTF-8 sequence at p (of n bytes) and its code point, or 0 when the
// bytes there are not one (a stray byte, an overlong form, a surrogate, past U+10FFFF).
int Utf8Sequence(const unsigned char* p, qsizetype n, char32_t& cp) {
    const unsigned char lead = p[0];
    int len = 0;
    char32_t min = 0;
    if (lead < 0x80) {
        cp = lead;
        return 1;
    } else if ((lead & 0xE0) == 0xC0) {
        len = 2, min = 0x80, cp = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
        len = 3, min = 0x800, cp = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
        len = 4, min = 0x10000, cp = lead & 0x07;
    } else {
        return 0;
    }
    if (n < len)
        return 0;
    for (int i = 1; i < len; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return 0;
    return len;
}

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}
} // namespace

QString QtPath(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t cp = 0;
        const int len = Utf8Sequence(p + i, bytes.size() - i, cp);
        if (len == 0) {
            text += QChar(static_cast<char16_t>(kStrayBase + p[i]));
            ++i;
            continue;
        }
        const char32_t code[] = {cp};
        text += QString::fromUcs4(code, 1);
        i += len;
    }
    return text;
}

std::string LocalPath(const QString& strPath) {
    std::string out;
    out.reserve(static_cast<std::size_t>(strPath.size()));
    for (qsizetype i = 0; i < strPath.size(); ++i) {
        const char16_t u = strPath[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < strPath.size() &&
            QChar::isLowSurrogate(strPath[i + 1].unicode())) {
            AppendUtf8(out, QChar::surrogateToUcs4(u, strPath[i + 1].unicode()));
            ++i;
        } else if (u >= kStrayFirst && u <= kStrayLast) {
            out += static_cast<char>(u - kStrayBase);
        } else if (QChar::isSurrogate(u)) {
            AppendUtf8(out, QChar::ReplacementCharacter);
        } else {
            AppendUtf8(out, u);
        }
    }
    return out;
}

QString AbsolutePath(const QString& strPath) {
    if (strPath.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(strPath);
    std::string cwd(PATH_MAX, '\0');
    if (!getcwd(cwd.data(), cwd.size()))
        return QDir::cleanPath(strPath);
    cwd.resize(std::strlen(cwd.c_str()));
    return QDir::cleanPath(QtPath(cwd) + QLatin1Char('/') + strPath);
}

QStringList QtArguments(int argc, char** argv, int nFirst) {
    QStringList args;
    for (int i = nFirst; i < argc; ++i)
        args << QtPath(QByteArray(argv[i]));
    return args;
}
