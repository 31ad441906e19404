#include "platform/ImageFile.h"

#include "util/FileRead.h"
#include "util/SafeFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>

namespace dcv {

QByteArray imageFormatOfSuffix(const QString& suffix) {
    QByteArray format = suffix.toLower().toLatin1();
    if (format == "jpg")
        format = "jpeg";
    else if (format == "tif")
        format = "tiff";
    return !format.isEmpty() && QImageWriter::supportedImageFormats().contains(format) ? format
                                                                                       : QByteArray();
}

QByteArray readPictureFile(const QString& path, QString& error) {
    const Result<std::string> bytes = readRegularFile(QFile::encodeName(path).toStdString(), kMaxPictureFile);
    if (!bytes) {
        error = QString::fromStdString(bytes.failure().detail);
        return {};
    }
    return QByteArray(bytes->data(), qsizetype(bytes->size()));
}

QString writeFileBytes(const QString& path, const QByteArray& bytes) {
    const std::optional<Failure> failure = safeWriteFile(
        QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), size_t(bytes.size())));
    return failure ? QString::fromStdString(failure->detail) : QString();
}

QString writePictureFile(const QImage& picture, const QString& path) {
    const QByteArray format = imageFormatOfSuffix(QFileInfo(path).suffix());
    if (format.isEmpty())
        return path + QStringLiteral(": not a picture format; use .jpg or .png");
    // Encoded in memory first: a failed encoding leaves no file behind, and the file itself is
    // written by the one writer that refuses FIFOs, devices and read-only files.
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (picture.isNull() || !picture.save(&buffer, format.constData()))
        return path + QStringLiteral(": cannot encode the picture as ") + QString::fromLatin1(format);
    return writeFileBytes(path, bytes);
}

} // namespace dcv
