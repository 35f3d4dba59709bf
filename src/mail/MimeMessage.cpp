#include "mail/MimeMessage.h"

#include "mail/MailResults.h"

#include <QUuid>

namespace {

// Header lines and 7-bit body lines must stay within this length (without the line end).
constexpr qsizetype kMaxLineLength = 998;
// Base64 lines of the attachment, and the payload of one encoded header word.
constexpr qsizetype kBase64LineLength = 76;
constexpr qsizetype kEncodedWordBytes = 45;

bool IsPlainAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() > 0x7E)
            return false;
    }
    return true;
}

// A header value on one line: line breaks and other controls become blanks.
QString OneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    }
    return line;
}

// A header text that is not plain ASCII goes as UTF-8 encoded words, each short enough for a
// header line and each holding whole characters only.
QByteArray HeaderText(const QString& text) {
    const QString line = OneLine(text);
    if (IsPlainAscii(line))
        return line.toLatin1();
    QByteArrayList words;
    QByteArray chunk;
    for (qsizetype i = 0; i < line.size(); ++i) {
        qsizetype length = line.at(i).isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QByteArray character = line.mid(i, length).toUtf8();
        i += length - 1;
        if (chunk.size() + character.size() > kEncodedWordBytes) {
            words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
            chunk.clear();
        }
        chunk += character;
    }
    if (!chunk.isEmpty())
        words.append("=?UTF-8?B?" + chunk.toBase64() + "?=");
    return words.join("\n ");
}

// The file name parameter of the attachment headers, quoted when it is plain ASCII and
// percent-encoded UTF-8 otherwise.
QByteArray FileNameParameter(const char* parameter, const QString& name) {
    const QString line = OneLine(name);
    if (IsPlainAscii(line) && !line.contains(QLatin1Char('"')) && !line.contains(QLatin1Char('\\')))
        return QByteArray(parameter) + "=\"" + line.toLatin1() + '"';
    return QByteArray(parameter) + "*=UTF-8''" + line.toUtf8().toPercentEncoding();
}

QByteArray Base64Lines(const QByteArray& bytes) {
    const QByteArray encoded = bytes.toBase64();
    QByteArray lines;
    for (qsizetype at = 0; at < encoded.size(); at += kBase64LineLength)
        lines += encoded.mid(at, kBase64LineLength) + '\n';
    return lines;
}

QByteArray WithLfLineEnds(const QString& text) {
    QString lf = text;
    lf.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lf.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lf.toUtf8();
}

bool FitsSevenBit(const QByteArray& text) {
    for (const QByteArray& line : text.split('\n')) {
        if (line.size() > kMaxLineLength)
            return false;
        for (const char c : line) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte > 0x7E || (byte < 0x20 && byte != '\t'))
                return false;
        }
    }
    return true;
}

QByteArray NoteTextPart(const QString& body) {
    const QByteArray text = WithLfLineEnds(body);
    if (FitsSevenBit(text)) {
        QByteArray part = "Content-Type: text/plain; charset=us-ascii\n"
                          "Content-Transfer-Encoding: 7bit\n\n" +
                          text;
        if (!part.endsWith('\n'))
            part += '\n';
        return part;
    }
    return "Content-Type: text/plain; charset=utf-8\n"
           "Content-Transfer-Encoding: base64\n\n" +
           Base64Lines(text);
}

} // namespace

std::optional<QByteArray> MailHeaderAddress(const QString& recipient) {
    QString address = recipient;
    if (address.startsWith(kSmtpAddressPrefix, Qt::CaseInsensitive))
        address.remove(0, kSmtpAddressPrefix.size());
    if (address.isEmpty() || address.size() > kMaxLineLength - 4 || !IsPlainAscii(address))
        return std::nullopt;
    for (const QChar c : address) {
        if (QStringLiteral(" ,;<>()\"\\:").contains(c))
            return std::nullopt;
    }
    return address.toLatin1();
}

QByteArray NewMimeBoundary(const QByteArray& content) {
    QByteArray boundary;
    do {
        boundary = "=_tarvik_" + QUuid::createUuid().toByteArray(QUuid::Id128);
    } while (content.contains(boundary));
    return boundary;
}

QByteArray ComposeMimeMessage(const MailMessage& message, const QByteArray& address,
                              const QByteArray& attachment, const QByteArray& boundary) {
    QByteArray mail;
    mail += "To: " + address + '\n';
    mail += "Subject: " + HeaderText(message.subject) + '\n';
    mail += "MIME-Version: 1.0\n";
    mail += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\n";
    mail += '\n';
    mail += "This is a multi-part message in MIME format.\n";
    mail += "--" + boundary + '\n';
    mail += NoteTextPart(message.body);
    mail += "--" + boundary + '\n';
    mail += "Content-Type: application/octet-stream; " +
            FileNameParameter("name", message.attachmentName) + '\n';
    mail += "Content-Transfer-Encoding: base64\n";
    mail += "Content-Disposition: attachment; " +
            FileNameParameter("filename", message.attachmentName) + '\n';
    mail += '\n';
    mail += Base64Lines(attachment);
    mail += "--" + boundary + "--\n";
    return mail;
}
