// tarrow: the command-line program for server boxes without a desktop.
#include "commands.h"
#include "common/version.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tarrow"));
    QCoreApplication::setApplicationName(QStringLiteral("tarrow"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARROW_VERSION));
    return tarrow::cli::run(QCoreApplication::arguments());
}
