#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>

namespace dcv {

// The viewer's own picture files (the snapshot, screenshots) go through the same file layer as
// the card's files: read only from a regular file of bounded size, written whole or not at all.

// Far above a 4K frame as PNG; a larger "picture" is not one of ours.
inline constexpr uint64_t kMaxPictureFile = uint64_t(256) << 20;

// The image format an extension names, as Qt's image writers call it ("jpeg" for "jpg");
// empty when it names none that can be written.
QByteArray imageFormatOfSuffix(const QString& suffix);

// The bytes of the picture file at `path`; refuses, without waiting, what is not a regular file
// (a FIFO, a device) and a file larger than kMaxPictureFile. Empty with `error` set on failure.
QByteArray readPictureFile(const QString& path, QString& error);

// Writes `bytes` through the safe writer (see safeWriteFile). Returns an error text naming the
// path, empty when the file was written.
QString writeFileBytes(const QString& path, const QByteArray& bytes);

// Encodes `picture` in the format the extension of `path` names and writes it as writeFileBytes
// does. Returns an error text, empty when the file was written.
QString writePictureFile(const QImage& picture, const QString& path);

} // namespace dcv
