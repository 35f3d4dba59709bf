#include "log/LogManager.h"
#include "mail/ErrorReport.h"
#include "mail/FakeSendmail.h"
#include "mail/MailResults.h"
#include "mail/MimeParts.h"
#include "mail/SendmailTransport.h"
#include "support/ControllerFixture.h"

#include <QFile>

namespace {

const QStringList kSuccessfulExchange = {"Initializing Mail Interface",
                                         "Complete Logging in to the Mail System",
                                         "Logged In",
                                         "Sending File",
                                         "File sent",
                                         "Logging off the Mail System"};

class ErrorReport : public ControllerFixture {
protected:
    TForm1& BuildWithMail(std::unique_ptr<MailTransport> transport) {
        Prepare();
        services.mail = std::move(transport);
        TForm1& f = Build();
        f.traceMessages->clear();
        return f;
    }

    TForm1& BuildWithFakeMail() {
        auto fake = std::make_unique<FakeMailTransport>();
        mail = fake.get();
        return BuildWithMail(std::move(fake));
    }

    QStringList Traced() const { return *form->traceMessages; }

    FakeMailTransport* mail = nullptr;
};

TEST_F(ErrorReport, ReportButtonMailsTheErrorLogToSupportAndTracesEveryStep) {
    TForm1& f = BuildWithFakeMail();
    f.SendButton->click();

    EXPECT_EQ(Traced(), kSuccessfulExchange);
    EXPECT_EQ(mail->calls, (QStringList{"Locate", "Logon", "SendMail 7", "Logoff 7"}));
    ASSERT_EQ(mail->sent.size(), 1u);
    const MailMessage& message = mail->sent.front();
    EXPECT_EQ(message.recipient, "SMTP:" + kSupportAddress);
    EXPECT_EQ(message.subject, "Error.log");
    EXPECT_EQ(message.body, "This is an autosent error report");
    EXPECT_EQ(message.attachmentPath, files->DataDirectory() + "Error.log");
    EXPECT_EQ(message.attachmentName, "Error.log");
    EXPECT_TRUE(messages->shown.isEmpty());
}

struct MissingPartsCase {
    const char* name;
    MailSystemParts parts;
    QStringList reports;
};

class MissingMailSystem : public ErrorReport,
                          public ::testing::WithParamInterface<MissingPartsCase> {};

TEST_P(MissingMailSystem, ReportsWhatIsMissingAndSendsNothing) {
    TForm1& f = BuildWithFakeMail();
    mail->parts = GetParam().parts;
    f.SendButtonClick();

    QStringList expected{"Initializing Mail Interface"};
    for (const QString& report : GetParam().reports)
        expected.append("Error sending mail: " + report);
    EXPECT_EQ(Traced(), expected);
    EXPECT_EQ(mail->calls, QStringList{"Locate"});
}

const QStringList kAllMissing = {"Unable to find MAPI32 Library", "Unable to find MAPISendMail",
                                 "Unable to find MAPILogon", "Unable to find MAPILogoff"};

INSTANTIATE_TEST_SUITE_P(
    Cases, MissingMailSystem,
    ::testing::Values(
        MissingPartsCase{"nothing", {false, false, false, false}, kAllMissing},
        // Without the library its entry points count as missing, whatever was looked up.
        MissingPartsCase{"noLibrary", {false, true, true, true}, kAllMissing},
        MissingPartsCase{"noSend", {true, false, true, true}, {"Unable to find MAPISendMail"}},
        MissingPartsCase{"noLogonNoLogoff",
                         {true, true, false, false},
                         {"Unable to find MAPILogon", "Unable to find MAPILogoff"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ErrorReport, WithoutAnyMailTransportTheFourPartsAreReportedMissing) {
    TForm1& f = BuildWithMail(nullptr);
    f.SendButtonClick();
    QStringList expected{"Initializing Mail Interface"};
    for (const QString& report : kAllMissing)
        expected.append("Error sending mail: " + report);
    EXPECT_EQ(Traced(), expected);
}

struct LogonCase {
    const char* name;
    std::uint32_t silent;
    std::uint32_t asking;
    QStringList calls;
    QString report; // empty: none
};

class Logon : public ErrorReport, public ::testing::WithParamInterface<LogonCase> {};

TEST_P(Logon, ASilentLogonFirstThenOneThatMayAskAndTheSendIsTriedEitherWay) {
    TForm1& f = BuildWithFakeMail();
    mail->silentLogonResult = GetParam().silent;
    mail->askingLogonResult = GetParam().asking;
    f.SendButtonClick();

    QStringList expected = kSuccessfulExchange;
    if (!GetParam().report.isEmpty())
        expected.insert(2, "Error sending mail: " + GetParam().report);
    EXPECT_EQ(Traced(), expected);
    EXPECT_EQ(mail->calls.mid(1, mail->calls.size() - 3), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Logon,
    ::testing::Values(
        LogonCase{"silentSucceeds", 0, 1, {"Logon"}, {}},
        LogonCase{"askingSucceeds", 3, 0, {"Logon", "Logon asking"}, {}},
        LogonCase{"userCancels", 3, 1, {"Logon", "Logon asking"}, "User requested to cancel mail"},
        LogonCase{"invalid", 3, 3, {"Logon", "Logon asking"}, "Invalid Mail Logon"},
        LogonCase{
            "busy", 3, 8, {"Logon", "Logon asking"}, "Mail system busy.  Try to transmit later"},
        LogonCase{"other", 3, 2, {"Logon", "Logon asking"}, "Unknown Mail System Failure"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ErrorReport, ARefusedMessageIsReportedInsteadOfFileSentAndTheSessionStillEnds) {
    TForm1& f = BuildWithFakeMail();
    const std::pair<std::uint32_t, QString> cases[] = {{15, "Unknown recipient type"},
                                                       {11, "Unable to attach file"},
                                                       {21, "Unable to resolve address"},
                                                       {13, "Undefined Failure"}};
    for (const auto& [result, report] : cases) {
        f.traceMessages->clear();
        mail->sendResult = result;
        f.SendButtonClick();
        EXPECT_EQ(Traced(), (QStringList{"Initializing Mail Interface",
                                         "Complete Logging in to the Mail System", "Logged In",
                                         "Sending File", "Error sending mail: " + report,
                                         "Logging off the Mail System"}))
            << result;
        EXPECT_EQ(mail->calls.last(), "Logoff 7");
    }
}

TEST_F(ErrorReport, TheSessionOfTheLastSuccessfulLogonIsKeptForLaterReports) {
    TForm1& f = BuildWithFakeMail();
    f.SendButtonClick();
    mail->calls.clear();
    mail->silentLogonResult = 3;
    mail->askingLogonResult = 3;
    mail->sessionGiven = 99;
    f.SendButtonClick();
    EXPECT_EQ(mail->calls,
              (QStringList{"Locate", "Logon", "Logon asking", "SendMail 7", "Logoff 7"}));
}

TEST_F(ErrorReport, ANameWithoutAtSignIsPassedUnmarkedAndNoTraceMeansNothingTraced) {
    TForm1& f = BuildWithFakeMail();
    f.MailErrorLog("subject", "support", "body", "/some/where/../file.txt", nullptr);

    EXPECT_TRUE(Traced().isEmpty());
    ASSERT_EQ(mail->sent.size(), 1u);
    EXPECT_EQ(mail->sent.front().recipient, "support");
    EXPECT_EQ(mail->sent.front().attachmentPath, "/some/where/../file.txt");
    EXPECT_EQ(mail->sent.front().attachmentName, "file.txt");
}

TEST_F(ErrorReport, ClosingTheWindowWhileTheMailSystemWorksEndsTheExchangeQuietly) {
    TForm1& f = BuildWithFakeMail();
    mail->whileSending = [&f] { f.close(); };
    f.SendButtonClick();

    EXPECT_EQ(f.traceMessages, nullptr);
    EXPECT_EQ(mail->calls.last(), "Logoff 7");
    EXPECT_TRUE(messages->shown.isEmpty());

    // Once the logs are gone the button does nothing.
    mail->calls.clear();
    f.SendButtonClick();
    EXPECT_TRUE(mail->calls.isEmpty());
}

// The button, the controller and the real sendmail hand-off together, against a fake sendmail.
struct HandOffCase {
    const char* name;
    const char* ending;
    bool logPresent;
    QString lastReport; // empty: sent
};

class ReportThroughSendmail : public ErrorReport,
                              public ::testing::WithParamInterface<HandOffCase> {};

TEST_P(ReportThroughSendmail, TracesTheOutcomeOfTheHandOff) {
    FakeSendmail sendmail;
    sendmail.Install(GetParam().ending);
    TForm1& f = BuildWithMail(std::make_unique<SendmailTransport>(QStringList{sendmail.Folder()}));
    const QByteArray log = "Date\tState\t\r\n \r\n11.12.2026 12:00:00\tFault\t\r\n";
    if (GetParam().logPresent) {
        QFile file(f.errorLog->GetFileName());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(log);
    }

    f.SendButton->click();

    QStringList expected = kSuccessfulExchange;
    if (!GetParam().lastReport.isEmpty())
        expected[4] = "Error sending mail: " + GetParam().lastReport;
    EXPECT_EQ(Traced(), expected);
    EXPECT_EQ(sendmail.Ran(), GetParam().logPresent);
    if (GetParam().logPresent) {
        const ParsedMail mail = ParseMail(sendmail.Message());
        EXPECT_EQ(mail.message.Header("To"), kSupportAddress.toLatin1());
        ASSERT_EQ(mail.parts.size(), 2u);
        EXPECT_EQ(mail.parts[1].Decoded(), log);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReportThroughSendmail,
    ::testing::Values(HandOffCase{"sent", "exit 0", true, {}},
                      HandOffCase{"unknownUser", "exit 67", true, "Unable to resolve address"},
                      HandOffCase{"tempFail", "exit 75", true, "Undefined Failure"},
                      HandOffCase{"noErrorLog", "exit 0", false, "Unable to attach file"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
