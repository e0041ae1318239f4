#include "textlists.h"

#include "backups.h"
#include "errors.h"
#include "fileio.h"
#include "paths.h"

#include <QDir>

namespace tarrow {

namespace {
// A UTF-8 byte-order mark as read through Latin-1.
const QString kByteOrderMark = QStringLiteral("\u00EF\u00BB\u00BF");
} // namespace

void LoadListFromFile(const QString& path, QStringList& list, bool clear) {
    QStringList lines = readLines(path);
    if (clear) list.clear();
    list.append(std::move(lines));
}

void SaveListToFile(const QString& path, const QStringList& list, const QString& firstLine,
                    const BackupStore& backups) {
    QStringList out;
    out.reserve(list.size() + 1);
    out.append(list);
    if (!firstLine.isEmpty() && !listHas(list, firstLine)) {
        // A byte-order mark belongs to the start of the file, not to the line that was first.
        if (!out.isEmpty() && startsWithByteOrderMark(out.first())) {
            out.first() = withoutByteOrderMark(out.first());
            out.prepend(kByteOrderMark + firstLine);
        } else {
            out.prepend(firstLine);
        }
    }
    writeFileBytes(path, joinLinesCrLf(out), backups);
}

QString asciiLower(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) c = QChar(c.unicode() + 32);
    return out;
}

QString statementForm(const QString& line) {
    const QString text = withoutByteOrderMark(line);
    QString out;
    out.reserve(text.size());
    bool blank = false;
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t')) {
            blank = true;
            continue;
        }
        if (blank) out += QLatin1Char(' ');
        blank = false;
        out += c;
    }
    return out;
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= 32)
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= 32)
        --end;
    return text.mid(begin, end - begin);
}

qsizetype FindListPrefix(const QStringList& list, const QString& text, qsizetype n) {
    const QString wanted = trimBlanks(text).toLower();
    qsizetype found = -1;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (trimBlanks(list[i].left(n)).toLower() == wanted) found = i;
    }
    return found;
}

bool listHas(const QStringList& list, const QString& statement) {
    for (const QString& line : list) {
        if (line.compare(statement, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

std::optional<QString> TextBetween(const QString& startDelimiter, const QString& endDelimiter,
                                   const QString& line) {
    const qsizetype p = startDelimiter.isEmpty() ? -1 : line.indexOf(startDelimiter);
    // The start delimiter counts as one character; absent, the working text is the whole line.
    const QString working = p < 0 ? line : line.mid(p + 1);
    const qsizetype q = endDelimiter.isEmpty() ? -1 : working.indexOf(endDelimiter);
    if (q < 0) {
        if (endDelimiter == QLatin1String(" ")) return std::nullopt;
        return QString();
    }
    return working.left(q);
}

QString CvarValue(const QString& line) {
    const qsizetype firstBlank = line.indexOf(QLatin1Char(' '));
    const QString rest = firstBlank < 0 ? line : line.mid(firstBlank + 1);
    const qsizetype comment = rest.indexOf(QLatin1String("//"));
    const qsizetype blank = rest.indexOf(QLatin1Char(' '));
    qsizetype cut = -1;
    if (comment >= 0 && blank >= 0)
        cut = std::min(comment, blank);
    else if (comment >= 0)
        cut = comment;
    else if (blank >= 0)
        cut = blank;
    return cut < 0 ? rest : rest.left(cut);
}

int StrToInt(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    qsizetype j = i;
    if (j < text.size() && (text.at(j) == QLatin1Char('-') || text.at(j) == QLatin1Char('+'))) ++j;
    const qsizetype digits = j;
    while (j < text.size() && text.at(j) >= QLatin1Char('0') && text.at(j) <= QLatin1Char('9'))
        ++j;
    if (j == digits || j != text.size()) throw ConversionError(text);
    bool ok = false;
    const int value = text.mid(i).toInt(&ok, 10);
    if (!ok) throw ConversionError(text);
    return value;
}

const QString& byteOrderMark() {
    return kByteOrderMark;
}

bool startsWithByteOrderMark(const QString& line) {
    return line.startsWith(kByteOrderMark);
}

QString withoutByteOrderMark(const QString& line) {
    return startsWithByteOrderMark(line) ? line.mid(kByteOrderMark.size()) : line;
}

QStringList withoutByteOrderMark(const QStringList& lines) {
    if (lines.isEmpty() || !startsWithByteOrderMark(lines.first())) return lines;
    QStringList out = lines;
    out.first() = withoutByteOrderMark(out.first());
    return out;
}

bool IsByteNumber(const QString& text) {
    if (text.isEmpty() || text.size() > 3) return false;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    }
    if (text.size() > 1 && text.at(0) == QLatin1Char('0')) return false;
    return text.toInt() <= 255;
}

void ListFolderFiles(const QString& folder, QStringList& list) {
    const QDir dir(nativePath(folder));
    if (!dir.exists()) return;
    // By name, as Windows lists them; the order is then the same on every machine.
    list.append(dir.entryList(QDir::Files | QDir::System, QDir::Name | QDir::IgnoreCase));
}

} // namespace tarrow
