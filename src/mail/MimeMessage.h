#pragma once

#include "platform/Services.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The mail as the system's sendmail reads it on its input: header lines, a blank line and a
// multipart body of the note text and the attached file. Lines end with LF; sendmail turns
// them into the network's CR LF.

// The address for the To header: the recipient text without its "SMTP:" mark. Nothing when
// the text cannot stand in a header as exactly one address (empty, a line break or another
// control character, a blank, a list separator or a bracket), so that no recipient and no
// header can be smuggled in through it.
std::optional<QByteArray> MailHeaderAddress(const QString& recipient);

// A boundary line text that occurs nowhere in `content`.
QByteArray NewMimeBoundary(const QByteArray& content);

// The whole message. `address` comes from MailHeaderAddress, `attachment` is the file's bytes
// (sent base64-encoded) and `boundary` must not occur in the note text.
QByteArray ComposeMimeMessage(const MailMessage& message, const QByteArray& address,
                              const QByteArray& attachment, const QByteArray& boundary);
