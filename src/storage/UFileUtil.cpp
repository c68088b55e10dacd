#include "UFileUtil.h"

#include "UConvert.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

QString ToPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

} // namespace

bool FileExists(const std::string& path) {
    const QFileInfo info(ToPath(path));
    return info.exists() && !info.isDir();
}

std::string ReadFileBytes(const std::string& path) {
    QFile file(ToPath(path));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception("Cannot open file \"" + path + "\". " + file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw Exception("Cannot read file \"" + path + "\". " + file.errorString().toStdString());
    return bytes.toStdString();
}

void WriteFileAtomic(const std::string& path, std::string_view bytes) {
    QSaveFile file(ToPath(path));
    // Renaming over the old file needs no write access to a read-only file; refuse it instead,
    // as a read-only file means the user does not want it changed.
    file.setDirectWriteFallback(false);
    const auto fail = [&](const char* what) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw Exception(std::string(what) + " \"" + path + "\". " + reason);
    };
    if (QFileInfo::exists(ToPath(path)) && !QFileInfo(ToPath(path)).isWritable())
        throw Exception("Cannot create file \"" + path + "\". The file is read-only.");
    if (!file.open(QIODevice::WriteOnly))
        fail("Cannot create file");
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
        static_cast<qint64>(bytes.size()))
        fail("Cannot write file");
    if (!file.commit())
        throw Exception("Cannot write file \"" + path + "\". " + file.errorString().toStdString());
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::string ToCRLF(std::string_view text) {
    std::string result;
    result.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            result += "\r\n";
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            result += c;
        }
    }
    return result;
}

std::string JoinLinesCRLF(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const auto& line : lines)
        size += line.size() + 2;
    std::string text;
    text.reserve(size);
    for (const auto& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return QFile::rename(ToPath(from), ToPath(to));
}
