#pragma once

#include <QDate>
#include <QString>

#include <optional>

namespace odomira {

// Reads a date as a German user types it: "5.3.2007" or "05.03.2007" (blanks around
// accepted, four-digit year). Refuses what is no calendar date ("31.02.2007", "5.3.",
// "abc"); `error` then gets a German sentence naming the problem.
std::optional<QDate> parseDate(const QString& text, QString* error = nullptr);

// DD.MM.YYYY with two-digit day and month and four-digit year.
QString dateText(const QDate& date);

} // namespace odomira
