#include "UQtText.h"

#include <QStringDecoder>

QString DecodeText(std::string_view bytes) {
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(view);
    if (utf8.hasError())
        return QString::fromLatin1(view);
    return text;
}

std::string EncodeText(const QString& text) {
    return text.toStdString();
}
