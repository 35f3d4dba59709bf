#pragma once

// Reads a multipart mail back into its headers and parts, as a mail client would, so that
// tests check what a recipient gets rather than the exact text the program wrote.

#include <QByteArray>
#include <QByteArrayList>

#include <map>
#include <vector>

struct MimeEntity {
    // Header names in lower case, folded lines joined.
    std::map<QByteArray, QByteArray> headers;
    QByteArray content;

    QByteArray Header(const QByteArray& name) const {
        const auto found = headers.find(name.toLower());
        return found == headers.end() ? QByteArray() : found->second;
    }
    // The content with its transfer encoding undone.
    QByteArray Decoded() const {
        if (Header("Content-Transfer-Encoding").trimmed().toLower() == "base64")
            return QByteArray::fromBase64(QByteArray(content).replace('\n', ""),
                                          QByteArray::AbortOnBase64DecodingErrors);
        return content;
    }
};

// A parameter of a header value: boundary="x" or name=x.
inline QByteArray HeaderParameter(const QByteArray& value, const QByteArray& name) {
    for (QByteArray item : value.split(';')) {
        item = item.trimmed();
        if (!item.toLower().startsWith(name.toLower() + '='))
            continue;
        QByteArray parameter = item.mid(name.size() + 1);
        if (parameter.startsWith('"') && parameter.endsWith('"'))
            parameter = parameter.mid(1, parameter.size() - 2);
        return parameter;
    }
    return {};
}

inline MimeEntity ParseEntity(const QByteArray& text) {
    MimeEntity entity;
    const qsizetype end = text.indexOf("\n\n");
    const QByteArray head = end < 0 ? text : text.left(end);
    entity.content = end < 0 ? QByteArray() : text.mid(end + 2);
    QByteArray name;
    for (const QByteArray& line : head.split('\n')) {
        if ((line.startsWith(' ') || line.startsWith('\t')) && !name.isEmpty()) {
            entity.headers[name] += ' ' + line.trimmed();
            continue;
        }
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        name = line.left(colon).trimmed().toLower();
        entity.headers[name] = line.mid(colon + 1).trimmed();
    }
    return entity;
}

struct ParsedMail {
    MimeEntity message;
    std::vector<MimeEntity> parts;
};

// Splits the body at the boundary the Content-Type header names.
inline ParsedMail ParseMail(const QByteArray& text) {
    ParsedMail mail;
    mail.message = ParseEntity(text);
    const QByteArray boundary = HeaderParameter(mail.message.Header("Content-Type"), "boundary");
    if (boundary.isEmpty())
        return mail;
    const QByteArray delimiter = "\n--" + boundary;
    QByteArray body = '\n' + mail.message.content;
    const qsizetype close = body.indexOf(delimiter + "--");
    if (close >= 0)
        body.truncate(close);
    QByteArrayList pieces;
    qsizetype at = body.indexOf(delimiter);
    while (at >= 0) {
        const qsizetype start = body.indexOf('\n', at + 1) + 1;
        const qsizetype next = body.indexOf(delimiter, start);
        pieces.append(body.mid(start, next < 0 ? -1 : next - start));
        at = next;
    }
    for (const QByteArray& piece : pieces)
        mail.parts.push_back(ParseEntity(piece));
    return mail;
}
