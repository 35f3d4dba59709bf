#include "mail/SendmailTransport.h"

#include "mail/MailResults.h"
#include "mail/MimeMessage.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {

const QString kSendmailName = QStringLiteral("sendmail");
const QString kSystemProgramFolder = QStringLiteral("/usr/sbin");
// Recipients from the headers; a line holding a single dot does not end the message.
const QStringList kSendmailArguments = {QStringLiteral("-t"), QStringLiteral("-oi")};

// sysexits.h
constexpr int kExitOk = 0;
constexpr int kExitNoUser = 67;
constexpr int kExitNoHost = 68;

// Enough for sendmail to hand back its start-up result; it does not wait for the mail.
constexpr int kStartLimitMs = 5000;
constexpr int kStopLimitMs = 2000;

struct Attachment {
    std::uint32_t result = MailResult::Success;
    QByteArray bytes;
};

Attachment ReadAttachment(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return {MailResult::AttachmentNotFound, {}};
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return {MailResult::AttachmentOpenFailure, {}};
    return {MailResult::Success, file.readAll()};
}

} // namespace

SendmailTransport::SendmailTransport(QStringList searchFolders, int handOffLimitMs)
    : searchFolders(std::move(searchFolders)), handOffLimitMs(handOffLimitMs) {}

QStringList SendmailTransport::DefaultSearchFolders() {
    QStringList folders;
    const QString path = qEnvironmentVariable("PATH");
    for (const QString& folder : path.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::isAbsolutePath(folder))
            folders.append(folder);
    }
    if (!folders.contains(kSystemProgramFolder))
        folders.append(kSystemProgramFolder);
    return folders;
}

MailSystemParts SendmailTransport::Locate() {
    // An empty folder list would make the lookup search PATH after all.
    program = searchFolders.isEmpty()
                  ? QString()
                  : QStandardPaths::findExecutable(kSendmailName, searchFolders);
    const bool found = !program.isEmpty();
    return {found, found, found, found};
}

std::uint32_t SendmailTransport::Logon(bool, std::uint32_t&) {
    return MailResult::Success;
}

void SendmailTransport::Logoff(std::uint32_t) {}

std::uint32_t SendmailTransport::SendMail(std::uint32_t, const MailMessage& message) {
    if (program.isEmpty())
        return MailResult::Failure;
    const std::optional<QByteArray> address = MailHeaderAddress(message.recipient);
    if (!address)
        return MailResult::UnknownRecipient;
    const Attachment attachment = ReadAttachment(message.attachmentPath);
    if (attachment.result != MailResult::Success)
        return attachment.result;
    const QByteArray boundary = NewMimeBoundary(message.body.toUtf8());
    return HandOver(ComposeMimeMessage(message, *address, attachment.bytes, boundary));
}

std::uint32_t SendmailTransport::HandOver(const QByteArray& mail) {
    QProcess sendmail;
    sendmail.setProgram(program);
    sendmail.setArguments(kSendmailArguments);
    sendmail.setStandardOutputFile(QProcess::nullDevice());
    // sendmail's own complaints are worth keeping for whoever reads the program's output.
    sendmail.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sendmail.start();
    if (!sendmail.waitForStarted(kStartLimitMs))
        return MailResult::Failure;
    sendmail.write(mail);
    sendmail.closeWriteChannel();

    QEventLoop handOff;
    QObject::connect(&sendmail, &QProcess::finished, &handOff, &QEventLoop::quit);
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &handOff, &QEventLoop::quit);
    limit.start(handOffLimitMs);
    if (sendmail.state() != QProcess::NotRunning)
        handOff.exec(QEventLoop::ExcludeUserInputEvents);

    // Past the limit, or the program is ending: the message is not known to be taken.
    if (sendmail.state() != QProcess::NotRunning) {
        sendmail.kill();
        sendmail.waitForFinished(kStopLimitMs);
        return MailResult::Failure;
    }
    if (sendmail.exitStatus() != QProcess::NormalExit)
        return MailResult::Failure;
    return SendResultForSendmailExit(sendmail.exitCode());
}

std::uint32_t SendResultForSendmailExit(int exitCode) {
    switch (exitCode) {
    case kExitOk:
        return MailResult::Success;
    case kExitNoUser:
    case kExitNoHost:
        return MailResult::UnknownRecipient;
    default:
        return MailResult::Failure;
    }
}
