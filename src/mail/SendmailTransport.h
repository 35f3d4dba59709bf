#pragma once

#include "platform/Services.h"

#include <QString>
#include <QStringList>

// The mail hand-off through the system's sendmail program (the interface every Linux mail
// transfer agent provides): the message goes to `sendmail -t -oi` on its standard input, and
// sendmail takes the recipient from the To header. There is no logon: the mail system counts
// as found when the program is, and logging on and off always succeed.
//
// While sendmail runs, the program's timers go on (polling, alarms); the user's clicks and keys
// wait until sendmail has taken the message or the hand-off limit has passed.
class SendmailTransport : public MailTransport {
public:
    // A sendmail that has neither taken nor refused the message after this long is stopped.
    static constexpr int kHandOffLimitMs = 60000;

    // Looks for "sendmail" in these folders, in order.
    explicit SendmailTransport(QStringList searchFolders = DefaultSearchFolders(),
                               int handOffLimitMs = kHandOffLimitMs);

    // The absolute folders of PATH, then /usr/sbin (where sendmail lives, though it is often
    // not on a user's PATH). Relative entries are left out: they would make the program found
    // depend on the current folder.
    static QStringList DefaultSearchFolders();

    MailSystemParts Locate() override;
    std::uint32_t Logon(bool mayAskUser, std::uint32_t& session) override;
    std::uint32_t SendMail(std::uint32_t session, const MailMessage& message) override;
    void Logoff(std::uint32_t session) override;

    // The program found by the last Locate(); empty when there was none.
    const QString& Program() const { return program; }

private:
    std::uint32_t HandOver(const QByteArray& mail);

    QStringList searchFolders;
    int handOffLimitMs;
    QString program;
};

// The send result for sendmail's exit status (the codes of sysexits.h): an unknown user or
// host means the address could not be resolved; every other failure is undefined.
std::uint32_t SendResultForSendmailExit(int exitCode);
