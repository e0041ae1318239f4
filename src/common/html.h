#pragma once

#include <QString>

namespace tarrow {

// Text from a file or a path placed into a generated page: & < > " become entities, so a line of a
// user's file cannot add markup or script to the page. Other text comes out unchanged.
QString htmlEscape(const QString& text);

} // namespace tarrow
