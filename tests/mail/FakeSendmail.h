#pragma once

// A stand-in for the system's sendmail: a script in a folder of its own that records its
// arguments and the message it reads, then ends with a chosen exit status.

#include <QFile>
#include <QTemporaryDir>

#include <stdexcept>

class FakeSendmail {
public:
    // `ending` is the script's last line: "exit 0", "exit 67", "kill -9 $$" ...
    // Records of an earlier run are removed.
    void Install(const QByteArray& ending = "exit 0") {
        QFile::remove(dir.filePath("arguments"));
        QFile::remove(dir.filePath("message"));
        QFile script(Folder() + "/sendmail");
        if (!script.open(QIODevice::WriteOnly | QIODevice::Truncate))
            throw std::runtime_error("cannot write the fake sendmail");
        script.write("#!/bin/sh\n"
                     "printf '%s\\n' \"$@\" > \"" +
                     dir.filePath("arguments").toUtf8() +
                     "\"\n"
                     "cat > \"" +
                     dir.filePath("message").toUtf8() + "\"\n" + ending + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                              QFile::ReadGroup | QFile::ExeGroup);
    }

    // The folder to search for "sendmail".
    QString Folder() const { return dir.path(); }

    bool Ran() const { return QFile::exists(dir.filePath("arguments")); }
    QByteArray Arguments() const { return Read("arguments"); }
    QByteArray Message() const { return Read("message"); }

private:
    QByteArray Read(const char* name) const {
        QFile file(dir.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir dir;
};
