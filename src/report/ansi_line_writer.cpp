#include "report/ansi_line_writer.h"

#include <QIODevice>

#include <array>

namespace odomira {

namespace {

// Code points of the bytes 0x80-0x9F; 0 where the code page leaves the byte unassigned.
constexpr std::array<char16_t, 32> HighTable = {
    0x20AC,
    0,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0,
    0x017D,
    0,
    0,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0,
    0x017E,
    0x0178,
};

char encode(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < HighTable.size(); ++i) {
        if (HighTable[i] != 0 && HighTable[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray toWindows1252(const QString& text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i; // beyond the code page either way
            bytes.append('?');
            continue;
        }
        // A lone surrogate is no character of the code page: encode() gives "?".
        bytes.append(encode(c.unicode()));
    }
    return bytes;
}

AnsiLineWriter::AnsiLineWriter(QIODevice* device)
    : m_device(device)
    , m_ok(device != nullptr)
{
}

bool AnsiLineWriter::writeLine(const QString& text)
{
    if (!m_ok)
        return false;
    const QByteArray line = toWindows1252(text) + QByteArrayLiteral("\r\n");
    m_ok = m_device->write(line) == line.size();
    return m_ok;
}

} // namespace odomira
