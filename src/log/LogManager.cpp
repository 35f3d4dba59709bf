#include "log/LogManager.h"

#include "log/KelvData.h"
#include "platform/ErrorText.h"
#include "platform/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <limits>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
const QString kViewer = QStringLiteral("xdg-open");

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ProgramError(
            QStringLiteral("Cannot read the log %1: %2").arg(path, file.errorString()));
    QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ProgramError(
            QStringLiteral("Cannot read the log %1: %2").arg(path, file.errorString()));
    return content;
}

// Written beside the old file and renamed over it: the log is either the old one or the new
// one, never a part of either.
void ReplaceFile(const QString& path, const QByteArray& content) {
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw ProgramError(QStringLiteral("Cannot create the folder %1").arg(folder));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw ProgramError(
            QStringLiteral("Cannot write the log %1: %2").arg(path, file.errorString()));
}

bool IsNormalised(const QByteArray& content) {
    qsizetype pairs = 0;
    for (qsizetype cr = content.indexOf('\r'); cr >= 0; cr = content.indexOf('\r', cr + 1)) {
        if (cr + 1 >= content.size() || content.at(cr + 1) != '\n')
            return false;
        ++pairs;
    }
    return content.count('\n') == pairs && (content.isEmpty() || content.endsWith(kLineEnd));
}

QByteArray Joined(const QList<QByteArray>& lines) {
    QByteArray content;
    qsizetype size = 0;
    for (const QByteArray& line : lines)
        size += line.size() + kLineEnd.size();
    content.reserve(size);
    for (const QByteArray& line : lines) {
        content.append(line);
        content.append(kLineEnd);
    }
    return content;
}

} // namespace

namespace LogText {

QList<QByteArray> SplitLines(const QByteArray& content) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype size = content.size();
    for (qsizetype i = 0; i < size; ++i) {
        const char c = content.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (c == '\r' && i + 1 < size && content.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(content.mid(start));
    return lines;
}

QByteArray Normalised(const QByteArray& content) {
    if (IsNormalised(content))
        return content;
    return Joined(SplitLines(content));
}

} // namespace LogText

LogManager::LogManager(const QString& path, MessageSink& messages, ProcessLauncher& viewer)
    : fileName(path), messages(messages), viewer(viewer) {}

void LogManager::WriteRecord(const KelvData& record) {
    unsaved.append(LogRecordLine(record));
    unsaved.append(kLineEnd);
    SaveUnsaved();
}

void LogManager::SaveKeptRecords() {
    if (!unsaved.isEmpty())
        SaveUnsaved();
}

void LogManager::SaveUnsaved() {
    try {
        QByteArray content;
        if (QFileInfo::exists(fileName)) {
            lines = LogText::Normalised(ReadFile(fileName));
            content = lines;
        } else {
            // A file deleted during the run starts again after the lines it held.
            content = lines;
            content.append(LogHeaderLine()).append(kLineEnd);
            content.append(' ').append(kLineEnd);
        }
        content.append(unsaved);
        ReplaceFile(fileName, content);
        lines = std::move(content);
        unsaved.clear();
        writeFailureShown = false;
    } catch (...) {
        ReportWriteFailure(std::current_exception());
    }
}

// While the log cannot be written, a warning writes a record every few seconds; one message
// says so, instead of a box for every record.
void LogManager::ReportWriteFailure(const std::exception_ptr& error) {
    if (writeFailureShown)
        return;
    writeFailureShown = true;
    messages.ShowMessage(ErrorMessage(error));
}

std::int32_t LogManager::GetSizeKb() const {
    const QFileInfo info(fileName);
    if (!info.isFile())
        return 0;
    const qint64 units = info.size() / 1000;
    return static_cast<std::int32_t>(
        std::min<qint64>(units, std::numeric_limits<std::int32_t>::max()));
}

void LogManager::Trim(int percent) {
    if (percent <= 0)
        return;
    try {
        QList<QByteArray> fileLines = LogText::SplitLines(ReadFile(fileName));
        const qsizetype n = fileLines.size();
        if (n < 5)
            return;
        const qsizetype keep = std::max<qsizetype>(0, (100 - percent) * ((n - 3) / 100));
        fileLines.remove(0, n - 3 - keep);
        ReplaceFile(fileName, Joined(fileLines));
    } catch (...) {
        messages.ShowMessage(ErrorMessage(std::current_exception()));
    }
}

// The controller may close while the viewer is open (its event loop keeps running), and the
// close releases this object: after the wait nothing of it may be touched.
void LogManager::View() {
    MessageSink& sink = messages;
    try {
        if (!QFileInfo::exists(fileName))
            return;
        viewer.RunAndWait(kViewer, {fileName});
    } catch (...) {
        sink.ShowMessage(ErrorMessage(std::current_exception()));
    }
}
