#include "mail/FakeSendmail.h"
#include "mail/MailResults.h"
#include "mail/MimeMessage.h"
#include "mail/MimeParts.h"
#include "mail/SendmailTransport.h"

#include <QDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// An error log as the program writes it: tab-separated, CR LF line ends, some 8-bit text.
QByteArray SampleLog() {
    QByteArray log = "Date\tState\tSensor 1\t\r\n \r\n";
    for (int i = 0; i < 80; ++i)
        log += "11.12.2026 12:00:" + QByteArray::number(i) +
               "\tFault\t-41\xC2\xB0"
               "C\t\r\n";
    return log;
}

class SendmailHandOff : public ::testing::Test {
protected:
    void SetUp() override {
        logPath = logDir.filePath("Error.log");
        QFile log(logPath);
        ASSERT_TRUE(log.open(QIODevice::WriteOnly));
        log.write(SampleLog());
    }

    MailMessage Report() const {
        return {"SMTP:support@velmor.example", "Error.log", "This is an autosent error report",
                logPath, "Error.log"};
    }

    // Runs the whole session against the fake, as the error report does.
    std::uint32_t Send(const MailMessage& message, int limitMs = 10000) {
        SendmailTransport transport({sendmail.Folder()}, limitMs);
        const MailSystemParts parts = transport.Locate();
        EXPECT_TRUE(parts.library && parts.sendMail && parts.logon && parts.logoff);
        std::uint32_t session = 0;
        EXPECT_EQ(transport.Logon(false, session), MailResult::Success);
        const std::uint32_t result = transport.SendMail(session, message);
        transport.Logoff(session);
        return result;
    }

    FakeSendmail sendmail;
    QTemporaryDir logDir;
    QString logPath;
};

TEST_F(SendmailHandOff, ReadsRecipientsFromTheHeadersAndGetsTheLogAttached) {
    sendmail.Install("exit 0");
    EXPECT_EQ(Send(Report()), MailResult::Success);

    EXPECT_EQ(sendmail.Arguments(), "-t\n-oi\n");
    const ParsedMail mail = ParseMail(sendmail.Message());
    EXPECT_EQ(mail.message.Header("To"), "support@velmor.example");
    EXPECT_EQ(mail.message.Header("Subject"), "Error.log");
    EXPECT_EQ(mail.message.Header("MIME-Version"), "1.0");
    EXPECT_TRUE(mail.message.Header("Content-Type").startsWith("multipart/mixed;"));
    ASSERT_EQ(mail.parts.size(), 2u);

    const MimeEntity& note = mail.parts[0];
    EXPECT_TRUE(note.Header("Content-Type").startsWith("text/plain"));
    EXPECT_EQ(note.Decoded(), "This is an autosent error report");

    const MimeEntity& attached = mail.parts[1];
    EXPECT_EQ(HeaderParameter(attached.Header("Content-Disposition"), "filename"), "Error.log");
    EXPECT_TRUE(attached.Header("Content-Disposition").startsWith("attachment;"));
    EXPECT_EQ(attached.Decoded(), SampleLog());
}

TEST_F(SendmailHandOff, ExitStatusIsMappedOntoTheSendResults) {
    struct Case {
        const char* ending;
        const char* report;
    };
    const Case cases[] = {
        {"exit 0", "<sent>"},
        {"exit 67", "Unable to resolve address"}, // addressee unknown
        {"exit 68", "Unable to resolve address"}, // host name unknown
        {"exit 75", "Undefined Failure"},         // temporary failure
        {"exit 69", "Undefined Failure"},         // service unavailable
        {"exit 1", "Undefined Failure"},
        {"kill -9 $$", "Undefined Failure"},
    };
    for (const Case& c : cases) {
        sendmail.Install(c.ending);
        const auto report = SendFailureText(Send(Report()));
        EXPECT_EQ(report.value_or("<sent>").toStdString(), c.report) << c.ending;
        EXPECT_FALSE(sendmail.Message().isEmpty()) << c.ending;
    }
}

TEST_F(SendmailHandOff, AMissingOrUnreadableAttachmentIsRefusedBeforeSendmailRuns) {
    sendmail.Install("exit 0");
    MailMessage missing = Report();
    missing.attachmentPath = logDir.filePath("gone.log");
    MailMessage folder = Report();
    folder.attachmentPath = logDir.path();

    EXPECT_EQ(Send(missing), MailResult::AttachmentNotFound);
    EXPECT_EQ(Send(folder), MailResult::AttachmentOpenFailure);
    EXPECT_EQ(SendFailureText(MailResult::AttachmentNotFound), "Unable to attach file");
    EXPECT_FALSE(sendmail.Ran());
}

TEST_F(SendmailHandOff, ARecipientThatWouldAddHeadersOrRecipientsIsNotHandedOver) {
    sendmail.Install("exit 0");
    for (const QString& recipient :
         {QStringLiteral("SMTP:support@velmor.example\nBcc: someone@else.example"),
          QStringLiteral("SMTP:support@velmor.example, someone@else.example"),
          QStringLiteral("SMTP:"), QStringLiteral("two words")}) {
        MailMessage message = Report();
        message.recipient = recipient;
        EXPECT_EQ(Send(message), MailResult::UnknownRecipient) << recipient.toStdString();
    }
    EXPECT_FALSE(sendmail.Ran());
}

TEST_F(SendmailHandOff, AHangingSendmailIsStoppedAndTheProgramKeepsRunningMeanwhile) {
    sendmail.Install("exec sleep 30");
    int ticks = 0;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&ticks] { ++ticks; });
    poll.start(10);

    EXPECT_EQ(Send(Report(), 300), MailResult::Failure);
    EXPECT_GT(ticks, 0);
}

TEST(SendmailLookup, NoSendmailMeansNoMailSystemAndNothingIsRun) {
    QTemporaryDir empty;
    SendmailTransport transport({empty.path()});
    const MailSystemParts parts = transport.Locate();
    EXPECT_FALSE(parts.library || parts.sendMail || parts.logon || parts.logoff);
    EXPECT_EQ(transport.SendMail(0, {"SMTP:a@b.example", "s", "b", "/dev/null", "null"}),
              MailResult::Failure);

    SendmailTransport nowhere(QStringList{});
    EXPECT_FALSE(nowhere.Locate().library);
}

TEST(SendmailLookup, TakesTheFirstExecutableSendmailOfTheFolders) {
    FakeSendmail first;
    FakeSendmail second;
    second.Install();
    QTemporaryDir notExecutable;
    QFile plain(notExecutable.filePath("sendmail"));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.setPermissions(QFile::ReadOwner | QFile::WriteOwner);

    SendmailTransport transport({first.Folder(), notExecutable.path(), second.Folder()});
    EXPECT_TRUE(transport.Locate().sendMail);
    EXPECT_EQ(transport.Program(), second.Folder() + "/sendmail");
}

TEST(SendmailLookup, SearchesTheAbsoluteFoldersOfPathThenUsrSbin) {
    const QByteArray saved = qgetenv("PATH");
    qputenv("PATH", "/opt/mail/bin:relative/bin::/usr/bin");
    const QStringList folders = SendmailTransport::DefaultSearchFolders();
    qputenv("PATH", "/usr/sbin:/bin");
    const QStringList withSbin = SendmailTransport::DefaultSearchFolders();
    qputenv("PATH", saved);

    EXPECT_EQ(folders, (QStringList{"/opt/mail/bin", "/usr/bin", "/usr/sbin"}));
    EXPECT_EQ(withSbin, (QStringList{"/usr/sbin", "/bin"}));
}

TEST(MimeMessage, TextsBeyondPlainAsciiReachTheRecipientIntact) {
    MailMessage message;
    message.subject = QString::fromUtf8("Fehlerprotokoll \xC2\xB0 Verdampfer ") + QString(40, 'x');
    message.body = QString::fromUtf8("Gr\xC3\xBC\xC3\x9F"
                                     "e\r\nzweite Zeile");
    message.attachmentName = QString::fromUtf8("Fehler \xC3\xA4.log");
    const QByteArray attachment("\x00\x01\xFF\r\n.\r\n", 8);
    const QByteArray boundary = NewMimeBoundary(message.body.toUtf8());

    const ParsedMail mail =
        ParseMail(ComposeMimeMessage(message, "a@b.example", attachment, boundary));

    // Each encoded word decodes on its own; together they give the subject back.
    QByteArray subject;
    for (const QByteArray& word : mail.message.Header("Subject").split(' ')) {
        ASSERT_TRUE(word.startsWith("=?UTF-8?B?") && word.endsWith("?=")) << word.data();
        ASSERT_LE(word.size(), 75);
        subject += QByteArray::fromBase64(word.mid(10, word.size() - 12));
    }
    EXPECT_EQ(QString::fromUtf8(subject), message.subject);
    ASSERT_EQ(mail.parts.size(), 2u);
    EXPECT_EQ(mail.parts[0].Decoded(), QByteArray("Gr\xC3\xBC\xC3\x9F"
                                                  "e\nzweite Zeile"));
    EXPECT_EQ(HeaderParameter(mail.parts[1].Header("Content-Disposition"), "filename*"),
              "UTF-8''Fehler%20%C3%A4.log");
    EXPECT_EQ(mail.parts[1].Decoded(), attachment);
}

} // namespace
