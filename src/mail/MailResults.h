#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Result codes of the mail hand-off. The report texts below were written for exactly these
// numbers, so every mail transport maps its own outcome onto them.
namespace MailResult {
constexpr std::uint32_t Success = 0;
constexpr std::uint32_t UserAbort = 1;
constexpr std::uint32_t Failure = 2;
constexpr std::uint32_t LoginFailure = 3;
constexpr std::uint32_t InsufficientMemory = 5;
constexpr std::uint32_t TooManySessions = 8;
constexpr std::uint32_t TooManyFiles = 9;
constexpr std::uint32_t TooManyRecipients = 10;
constexpr std::uint32_t AttachmentNotFound = 11;
constexpr std::uint32_t AttachmentOpenFailure = 12;
constexpr std::uint32_t UnknownRecipient = 14;
constexpr std::uint32_t BadRecipientType = 15;
constexpr std::uint32_t TextTooLarge = 18;
constexpr std::uint32_t AmbiguousRecipient = 21;
} // namespace MailResult

// What a refused logon (the second attempt, the one that may ask the user) is reported as;
// nothing for a logon that succeeded.
std::optional<QString> LogonFailureText(std::uint32_t result);

// What a refused message is reported as; nothing for a message that was sent.
std::optional<QString> SendFailureText(std::uint32_t result);

// The recipient as the mail system is given it: an Internet address (one with an at sign) is
// marked with "SMTP:"; anything else is passed as it is, as a name for the mail system to
// resolve.
QString MailRecipientText(const QString& address);

// The prefix that marks an Internet address in a recipient text.
inline const QString kSmtpAddressPrefix = QStringLiteral("SMTP:");
