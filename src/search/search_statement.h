#pragma once

#include <QString>

namespace odomira {

// The trips whose date or destination contains `term`, in date order. The term goes in
// as typed (not trimmed) with each apostrophe doubled, so "O'Neill" stays a well-formed
// statement and finds destinations containing O'Neill; "%" and "_" stay wildcards.
QString searchStatement(const QString& term);

// The full trip list in the store's own order: "select *  from [fahrt]".
QString unsortedTripListStatement();

// "Es wurden keine Datensätze mit dem Suchbegriff " + term + " gefunden".
QString noHitMessage(const QString& term);

} // namespace odomira
