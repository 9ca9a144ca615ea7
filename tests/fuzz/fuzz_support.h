#pragma once

// Shared by the fuzz targets: turning bytes into texts, and stopping loudly on a wrong result.
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace odomira::fuzz {

// Bytes as the UTF-8 text a user could type or a file could hold (invalid bytes become U+FFFD).
inline QString text(const std::uint8_t* data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
}
inline QString text(const std::string& bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// Splits the input at its first NUL byte into two texts.
inline std::pair<QString, QString> twoTexts(const std::uint8_t* data, std::size_t size)
{
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t cut = all.find('\0');
    if (cut == std::string_view::npos)
        return { QString::fromUtf8(all.data(), qsizetype(all.size())), QString() };
    return { QString::fromUtf8(all.data(), qsizetype(cut)),
        QString::fromUtf8(all.data() + cut + 1, qsizetype(all.size() - cut - 1)) };
}

[[noreturn]] inline void fail(const char* what, const QString& detail = QString())
{
    std::fprintf(stderr, "WRONG RESULT: %s %s\n", what, detail.toUtf8().constData());
    std::abort();
}

inline void check(bool condition, const char* what, const QString& detail = QString())
{
    if (!condition)
        fail(what, detail);
}

} // namespace odomira::fuzz
