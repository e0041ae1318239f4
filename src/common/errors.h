#pragma once

#include <QString>
#include <stdexcept>

namespace tarrow {

// Raised by every file routine when the system refuses a read or a write; carries the system's text so
// that the window's generic error box can show it as it stands.
class IoError : public std::runtime_error {
  public:
    explicit IoError(const QString& text) : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

  private:
    QString text_;
};

// Raised where a text must be a whole number and is not.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(const QString& value)
        : std::runtime_error(message(value).toStdString()), text_(message(value)) {}
    const QString& text() const { return text_; }
    static QString message(const QString& value) {
        return QStringLiteral("'%1' is not a valid integer value").arg(value);
    }

  private:
    QString text_;
};

} // namespace tarrow
