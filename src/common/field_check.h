#pragma once

#include <QString>

#include <optional>

namespace odomira {

// What a field the user types into has to hold.
enum class FieldContent {
    Number, // German number text
    Date, // a calendar date, DD.MM.YYYY
    AnnualAmount, // an amount in euro per year, as German number text
};

// A field as its messages describe it: the label the window shows next to it, what it
// holds and a sample value in the form it expects ("12345", "7,9", "05.03.2007").
struct FieldRule {
    QString label;
    FieldContent content = FieldContent::Number;
    QString example;
};

// The German message about a field holding `text` when that is not what the field holds:
// one form for an empty field (for a date also a blank one), one naming the text.
QString fieldMessage(const FieldRule& rule, const QString& text);

// Nothing when `text` reads as the field's content; its fieldMessage() otherwise. An empty
// text is refused; a caller for whom an empty field is fine does not ask.
std::optional<QString> checkField(const FieldRule& rule, const QString& text);

} // namespace odomira
