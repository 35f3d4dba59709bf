#pragma once

#include <QString>

// One log file of the program.
class LogManager {
public:
    explicit LogManager(const QString& filePath) : filePath(filePath) {}

    const QString& FilePath() const { return filePath; }

private:
    QString filePath;
};
