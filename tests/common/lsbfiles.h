#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Firmware files made here: a header line, then 133-byte lines whose XOR is zero.
namespace LsbFiles {

inline QByteArray line(int seed, int size = 132)
{
    QByteArray bytes(size, '\0');
    quint8 check = 0;
    for (int i = 0; i < size; ++i) {
        bytes[i] = char((seed * 71 + i * 13) & 0xFF);
        check ^= quint8(bytes[i]);
    }
    return bytes + char(check);
}

// `payload` bytes split into lines of 132 (the last one shorter, its check byte counted).
inline QByteArray firmware(const QByteArray &header, int lines, int shortTail = 0)
{
    QByteArray file = header;
    for (int i = 0; i < lines; ++i)
        file += line(i);
    if (shortTail > 0)
        file += line(lines, shortTail - 1);
    return file;
}

// The payload a well-formed file delivers.
inline QByteArray payload(int lines, int shortTail = 0)
{
    QByteArray bytes;
    for (int i = 0; i < lines; ++i)
        bytes += line(i).left(132);
    if (shortTail > 0)
        bytes += line(lines, shortTail - 1);
    return bytes;
}

inline bool write(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace LsbFiles
