#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tarrow {

class BackupStore;

// Loads a file's lines into `list` (emptied first when `clear` is set). The file must exist; a failure
// throws IoError and the list keeps what it had.
void LoadListFromFile(const QString& path, QStringList& list, bool clear);

// Rewrites the file from `list`, each line ended with CR LF, through the installation's backups. A
// non-empty `firstLine` is written first unless it already stands in `list` (the lookup ignores letter
// case).
void SaveListToFile(const QString& path, const QStringList& list, const QString& firstLine,
                    const BackupStore& backups);

// Only the letters A-Z lower-cased; every other character (the bytes of UTF-8 text read through
// Latin-1 among them) stays as it is.
QString asciiLower(const QString& text);

// A statement line as it is matched: without a byte-order mark, runs of blanks and tabs as one blank,
// and no blanks or tabs at the end. What is written keeps its own bytes.
QString statementForm(const QString& line);

// Trim as the loader files expect it: blanks and control characters off both ends.
QString trimBlanks(const QString& text);

// Index of the last line whose first n characters, lower-cased and trimmed, equal `text` lower-cased and
// trimmed; -1 when none does. The line is cut to n characters before it is trimmed.
qsizetype FindListPrefix(const QStringList& list, const QString& text, qsizetype n);

// True when some line equals `statement` as a whole, ignoring letter case, without trimming.
bool listHas(const QStringList& list, const QString& statement);

// The text between two delimiters. std::nullopt is "no result": the caller's target keeps what it had.
std::optional<QString> TextBetween(const QString& startDelimiter, const QString& endDelimiter,
                                   const QString& line);

// The value word of "name value // comment".
QString CvarValue(const QString& line);

// The conversion the readers apply to a number text: optional leading blanks, an optional sign and
// decimal digits, nothing after them. Throws ConversionError with the text otherwise.
int StrToInt(const QString& text);

// A UTF-8 byte-order mark read through Latin-1; it is not part of a file's first line when lines
// are matched.
bool startsWithByteOrderMark(const QString& line);
const QString& byteOrderMark();
QString withoutByteOrderMark(const QString& line);
// The lines with the mark taken off the first one.
QStringList withoutByteOrderMark(const QStringList& lines);

// True when the text is exactly the plain decimal form of a number 0..255.
bool IsByteNumber(const QString& text);

// Appends the names of the ordinary files of a folder (no sub-folders, no hidden files).
void ListFolderFiles(const QString& folder, QStringList& list);

} // namespace tarrow
