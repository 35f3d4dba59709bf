#include "mail/MailResults.h"

#include <gtest/gtest.h>

#include <map>

namespace {

std::string Text(const std::optional<QString>& text) {
    return text ? text->toStdString() : std::string("<none>");
}

TEST(MailTables, EverySendResultHasItsReportText) {
    const std::map<std::uint32_t, std::string> mapped = {
        {0, "<none>"},
        {1, "User Requested Mail Cancel"},
        {3, "Not Logged In"},
        {5, "Not enough memory to send a message"},
        {9, "Unable to attach file"},
        {10, "Unable to resolve address"},
        {11, "Unable to attach file"},
        {12, "Unable to attach file"},
        {14, "Unable to resolve address"},
        {15, "Unknown recipient type"},
        {18, "Too much Message Text"},
        {21, "Unable to resolve address"},
    };
    for (std::uint32_t result = 0; result <= 30; ++result) {
        const auto known = mapped.find(result);
        const std::string expected =
            known != mapped.end() ? known->second : std::string("Undefined Failure");
        EXPECT_EQ(Text(SendFailureText(result)), expected) << "result " << result;
    }
    EXPECT_EQ(Text(SendFailureText(0xFFFFFFFFu)), "Undefined Failure");
}

TEST(MailTables, EveryLogonResultHasItsReportText) {
    const std::map<std::uint32_t, std::string> mapped = {
        {0, "<none>"},
        {1, "User requested to cancel mail"},
        {3, "Invalid Mail Logon"},
        {5, "Insufficient memory available.  Close some applications before attempting to "
            "transmit again."},
        {8, "Mail system busy.  Try to transmit later"},
    };
    for (std::uint32_t result = 0; result <= 25; ++result) {
        const auto known = mapped.find(result);
        const std::string expected =
            known != mapped.end() ? known->second : std::string("Unknown Mail System Failure");
        EXPECT_EQ(Text(LogonFailureText(result)), expected) << "result " << result;
    }
}

TEST(MailTables, AnInternetAddressIsMarkedAndANameIsPassedAsItIs) {
    const std::map<QString, QString> cases = {
        {"support@velmor.example", "SMTP:support@velmor.example"},
        {"support", "support"},
        {"odd@", "SMTP:odd@"},
        {"", ""},
    };
    for (const auto& [address, expected] : cases)
        EXPECT_EQ(MailRecipientText(address), expected) << address.toStdString();
}

} // namespace
