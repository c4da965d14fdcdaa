#include "platform/CapturedText.h"

#include "core/TextCodec.h"

#include <QFile>
#include <QStringDecoder>

#include <utility>

namespace platform {
namespace {

constexpr qint64 MaxCapturedSize = qint64{16} << 20;

std::string Decode(QStringDecoder&& decoder, std::string_view bytes)
{
    const QString text = decoder(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return text.toStdString();
}

} // namespace

std::string DecodeCapturedBytes(std::string_view bytes)
{
    const QByteArrayView view(bytes.data(), qsizetype(bytes.size()));
    if (const auto bom = QStringConverter::encodingForData(view);
        bom && *bom != QStringConverter::Utf8)
        return Decode(QStringDecoder(*bom), bytes);
    if (core::IsValidUtf8(bytes))
        return Decode(QStringDecoder(QStringConverter::Utf8), bytes);
    QStringDecoder gb18030("GB18030");
    if (!gb18030.isValid()) // a Qt without ICU: keep what is readable rather than nothing
        return Decode(QStringDecoder(QStringConverter::Utf8), bytes);
    return Decode(std::move(gb18030), bytes);
}

bool ReadCapturedText(const std::string& path, std::string& text, std::string& error)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return false;
    }
    const QByteArray bytes = file.read(MaxCapturedSize + 1);
    if (file.error() != QFileDevice::NoError) {
        error = file.errorString().toStdString();
        return false;
    }
    if (bytes.size() > MaxCapturedSize) {
        error = "larger than 16 MB, not a console listing";
        return false;
    }
    text = DecodeCapturedBytes(std::string_view(bytes.constData(), size_t(bytes.size())));
    return true;
}

} // namespace platform
