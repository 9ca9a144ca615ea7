#pragma once

#include <QByteArray>
#include <QString>

class QIODevice;

namespace odomira {

// The text in Windows-1252, one byte per character: ASCII and Latin-1 as they are, the
// typographic characters of 0x80-0x9F (€, „, “, …) by the code page's table, and every
// character the code page lacks as "?" (a surrogate pair is one character, one "?").
QByteArray toWindows1252(const QString& text);

// Writes lines of text to a device in Windows-1252, each ended by CR LF (the last one
// too). A text that itself holds line breaks is written as it is, so it spans several
// lines of the file. After the first failed write nothing more is written and ok() is false.
class AnsiLineWriter {
public:
    explicit AnsiLineWriter(QIODevice* device);

    bool writeLine(const QString& text);
    bool ok() const { return m_ok; }

private:
    QIODevice* m_device;
    bool m_ok;
};

} // namespace odomira
