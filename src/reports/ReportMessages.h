#pragma once

#include <QString>

// Messages of the report form and the report command, with their numbers.
namespace ReportMessages {

constexpr int InvalidDateNumber = 61456;
constexpr int BothDatesNumber = 61522;
constexpr int StartAfterEndNumber = 61523;

inline const QString InvalidDate =
    QStringLiteral("The Date is invalid.  The format must be mm/dd/yyyy (ex. 12/31/1998).");
inline const QString BothDates =
    QStringLiteral("Both Start and End Date must be filled in if you are going to filter the report by dates.");
inline const QString StartAfterEnd = QStringLiteral("The Start Date can not be greater then the End Date.");
// "%1": the file's path.
inline const QString PdfNotWritten = QStringLiteral("The PDF file %1 could not be written.");

} // namespace ReportMessages
