#pragma once

#include <QString>

#include <functional>

// The error report the user sends with the "Report" button.

// The maker's support desk; the report goes here. Set in this one place.
inline const QString kSupportAddress = QStringLiteral("support@velmor.example");
inline const QString kErrorReportSubject = QStringLiteral("Error.log");
inline const QString kErrorReportBody = QStringLiteral("This is an autosent error report");

// Every step and failure of the mail exchange goes to a trace (the status-bar queue) as one
// line. An empty function means that nothing is traced.
using MailTrace = std::function<void(const QString&)>;
