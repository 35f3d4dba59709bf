#include "mail/MailResults.h"

std::optional<QString> LogonFailureText(std::uint32_t result) {
    switch (result) {
    case MailResult::Success:
        return std::nullopt;
    case MailResult::UserAbort:
        return QStringLiteral("User requested to cancel mail");
    case MailResult::LoginFailure:
        return QStringLiteral("Invalid Mail Logon");
    case MailResult::InsufficientMemory:
        return QStringLiteral("Insufficient memory available.  Close some applications before "
                              "attempting to transmit again.");
    case MailResult::TooManySessions:
        return QStringLiteral("Mail system busy.  Try to transmit later");
    default:
        return QStringLiteral("Unknown Mail System Failure");
    }
}

std::optional<QString> SendFailureText(std::uint32_t result) {
    switch (result) {
    case MailResult::Success:
        return std::nullopt;
    case MailResult::UserAbort:
        return QStringLiteral("User Requested Mail Cancel");
    case MailResult::LoginFailure:
        return QStringLiteral("Not Logged In");
    case MailResult::InsufficientMemory:
        return QStringLiteral("Not enough memory to send a message");
    case MailResult::TooManyFiles:
    case MailResult::AttachmentNotFound:
    case MailResult::AttachmentOpenFailure:
        return QStringLiteral("Unable to attach file");
    case MailResult::TooManyRecipients:
    case MailResult::UnknownRecipient:
    case MailResult::AmbiguousRecipient:
        return QStringLiteral("Unable to resolve address");
    case MailResult::BadRecipientType:
        return QStringLiteral("Unknown recipient type");
    case MailResult::TextTooLarge:
        return QStringLiteral("Too much Message Text");
    default:
        return QStringLiteral("Undefined Failure");
    }
}

QString MailRecipientText(const QString& address) {
    if (address.contains(QLatin1Char('@')))
        return kSmtpAddressPrefix + address;
    return address;
}
