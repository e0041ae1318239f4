#include "exitcodes.h"

#include <QStringList>

namespace tarrow::cli {

const QList<ExitMeaning>& exitMeanings() {
    static const QList<ExitMeaning> meanings{
        {Exit::Done, "done"},
        {Exit::UnknownOption, "an option the program does not know (the text names it)"},
        {Exit::Error,
         "stopped with an error (the text is on stderr; also when a load or unload changed nothing because a "
         "file it needs is missing, or a line still loads the component: its file, number and text are "
         "named)"},
        {Exit::Problems,
         "status found a loaded component that misses a file, a warning, or a loader file it could not read "
         "(over 16 MiB, say: counted as empty and named); check found a problem in the loader chain"},
        {Exit::NoAnswer, "query, rcon or kick had no answer from the server"},
        {Exit::GaveUp, "restart --when-empty --max-wait never gave up while people play"},
    };
    return meanings;
}

QString exitCodesParagraph() {
    QStringList parts;
    for (const ExitMeaning& m : exitMeanings())
        parts << QString::number(int(m.code)) + QLatin1Char(' ') + QString::fromUtf8(m.text);
    return QStringLiteral("Exit codes: ") + parts.join(QStringLiteral("; ")) + QLatin1Char('.');
}

} // namespace tarrow::cli
