#pragma once

#include <QString>
#include <stdexcept>

namespace tarrow {

// How the core code reports a failure that ends a step: an exception of ours (below), thrown where the
// step cannot go on and caught at one boundary: the window's (its generic error box shows the text) or
// the command line's (the text on standard error, a non-zero exit). A value that may simply be missing
// is an std::optional or a result with an error text instead, never an exception.
class Error : public std::runtime_error {
  public:
    explicit Error(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    // The text the user sees, as it stands.
    const QString& text() const { return text_; }

  private:
    QString text_;
};

// Raised by every file routine when the system refuses a read or a write; carries the system's text so
// that the window's generic error box can show it as it stands.
class IoError : public Error {
  public:
    explicit IoError(const QString& text) : Error(text) {}
};

// Raised where a text must be a whole number and is not.
class ConversionError : public Error {
  public:
    explicit ConversionError(const QString& value) : Error(message(value)) {}
    static QString message(const QString& value) {
        return QStringLiteral("'%1' is not a valid integer value").arg(value);
    }
};

} // namespace tarrow
