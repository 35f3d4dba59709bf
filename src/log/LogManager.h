#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>
#include <exception>

class MessageSink;
class ProcessLauncher;
struct KelvData;

// One log file: a tab-separated table whose first line holds the column titles, then a line
// of one blank, then one record per line; every line ends with CR LF.
//
// Each record rewrites the whole file: it is written to a temporary file in the same folder
// and renamed over the old one, so a crash or a full disk never leaves a cut-off log. A
// record that cannot be saved is kept and saved with the next one (or at the end of the run); the
// failure is reported once, not on every record while it lasts.
class LogManager {
public:
    LogManager(const QString& path, MessageSink& messages, ProcessLauncher& viewer);

    // Adds one record, creating the file (and its folder) with the header when it is missing.
    void WriteRecord(const KelvData& record);
    // Saves the records kept after failed writes, for when no further record will come to
    // take them along (at the end of the run). Does nothing when none are kept.
    void SaveKeptRecords();
    QString GetFileName() const { return fileName; }
    // The file's size in units of 1000 bytes, rounded down; 0 when there is no such file.
    std::int32_t GetSizeKb() const;
    // Drops the oldest lines, keeping (100 - percent) lines of every whole hundred beyond the
    // first three, plus three. Files of fewer than 5 lines stay as they are.
    void Trim(int percent);
    // Opens the file in the desktop's text viewer and returns when the viewer has ended.
    void View();

private:
    // Writes the file with the unsaved records added; on failure they stay kept.
    void SaveUnsaved();
    void ReportWriteFailure(const std::exception_ptr& error);

    // The file's content as last loaded or saved, every line ending with CR LF. When the file
    // vanishes during a run, a new file starts with these lines before its header.
    QByteArray lines;
    // Record lines that are not in the file yet, each ending with CR LF.
    QByteArray unsaved;
    QString fileName;
    bool writeFailureShown = false;
    MessageSink& messages;
    ProcessLauncher& viewer;
};

// The line rules of the log files, for the file operations and their tests.
namespace LogText {
// Lines split at CR LF, LF or CR; a line end after the last line makes no extra line.
QList<QByteArray> SplitLines(const QByteArray& content);
// The content with every line ending in CR LF (as it is saved).
QByteArray Normalised(const QByteArray& content);
} // namespace LogText
