// The error report by mail: the "Report" button mails the error log to the maker's support
// through the system's mail interface, and every step goes to the status bar.
#include "app/TForm1.h"

#include "log/LogManager.h"
#include "mail/ErrorReport.h"
#include "mail/MailResults.h"

#include <QFileInfo>

namespace {

void Trace(const MailTrace& trace, const QString& text) {
    if (trace)
        trace(text);
}

} // namespace

void TForm1::ConnectMailHandlers() {
    connect(SendButton, &QPushButton::clicked, this, &TForm1::SendButtonClick);
}

void TForm1::SendButtonClick() {
    Guarded([this] {
        // Both logs are created together; without them there is nothing to send.
        if (!operationLog || !errorLog)
            return;
        // The window may be closed while the mail system works, and the logs and the
        // status-bar queue are gone then: the path is a copy, and each trace line looks for
        // the queue when it comes.
        const QString logPath = errorLog->GetFileName();
        MailErrorLog(kErrorReportSubject, kSupportAddress, kErrorReportBody, logPath,
                     [this](const QString& text) { QueueTrace(text); });
    });
}

void TForm1::MailErrorLog(const QString& subject, const QString& recipient, const QString& body,
                          const QString& filePath, const MailTrace& trace) {
    Trace(trace, QStringLiteral("Initializing Mail Interface"));
    const MailSystemParts parts = services.mail ? services.mail->Locate() : MailSystemParts{};
    if (!parts.library)
        ReportMailError(QStringLiteral("Unable to find MAPI32 Library"), trace);
    // Without the library none of its entry points can be there either.
    const bool sendMail = parts.library && parts.sendMail;
    const bool logon = parts.library && parts.logon;
    const bool logoff = parts.library && parts.logoff;
    if (!sendMail)
        ReportMailError(QStringLiteral("Unable to find MAPISendMail"), trace);
    if (!logon)
        ReportMailError(QStringLiteral("Unable to find MAPILogon"), trace);
    if (!logoff)
        ReportMailError(QStringLiteral("Unable to find MAPILogoff"), trace);
    if (!parts.library || !sendMail || !logon || !logoff)
        return;

    Trace(trace, QStringLiteral("Complete Logging in to the Mail System"));
    // A silent logon with the default profile first; only if that fails may the mail system
    // ask the user. A refused logon is reported, and the send is tried all the same.
    if (services.mail->Logon(false, mapiSession) != MailResult::Success) {
        const std::uint32_t result = services.mail->Logon(true, mapiSession);
        if (const auto failure = LogonFailureText(result))
            ReportMailError(*failure, trace);
    }
    Trace(trace, QStringLiteral("Logged In"));

    Trace(trace, QStringLiteral("Sending File"));
    const std::uint32_t result = SendMapiMessage(recipient, subject, body, filePath);
    if (const auto failure = SendFailureText(result))
        ReportMailError(*failure, trace);
    else
        Trace(trace, QStringLiteral("File sent"));

    Trace(trace, QStringLiteral("Logging off the Mail System"));
    services.mail->Logoff(mapiSession);
}

std::uint32_t TForm1::SendMapiMessage(const QString& recipient, const QString& subject,
                                      const QString& body, const QString& filePath) {
    if (!services.mail)
        return MailResult::Failure;
    MailMessage message;
    message.recipient = MailRecipientText(recipient);
    message.subject = subject;
    message.body = body;
    message.attachmentPath = filePath;
    message.attachmentName = QFileInfo(QFileInfo(filePath).absoluteFilePath()).fileName();
    return services.mail->SendMail(mapiSession, message);
}

void TForm1::ReportMailError(const QString& text, const MailTrace& trace) {
    Trace(trace, QStringLiteral("Error sending mail: ") + text);
}
