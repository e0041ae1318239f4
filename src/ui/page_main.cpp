// The " Server Status " page: the banner and the two report panes.
#include "page_main.h"

#include "statuspane.h"

#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace tarrow {

MainPage::MainPage(Shell& shell, QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    Bannerimg = new QLabel(this);
    Bannerimg->setObjectName(QStringLiteral("Bannerimg"));
    Bannerimg->setPixmap(QPixmap(QStringLiteral(":/banner.jpg")));
    Bannerimg->setAlignment(Qt::AlignCenter);
    Bannerimg->setAccessibleName(QStringLiteral("Tarrow GUI"));
    layout->addWidget(Bannerimg);

    auto* statusGroup = new QGroupBox(QStringLiteral("Server Statistics:"), this);
    auto* statusLayout = new QVBoxLayout(statusGroup);
    Status = new StatusPane(shell, statusGroup);
    Status->setObjectName(QStringLiteral("Status"));
    Status->setAccessibleName(QStringLiteral("Server Statistics:"));
    statusLayout->addWidget(Status);
    layout->addWidget(statusGroup, 4);

    auto* statsGroup = new QGroupBox(QStringLiteral("Server Status:"), this);
    auto* statsLayout = new QVBoxLayout(statsGroup);
    Stats = new StatusPane(shell, statsGroup);
    Stats->setObjectName(QStringLiteral("Stats"));
    Stats->setAccessibleName(QStringLiteral("Server Status:"));
    statsLayout->addWidget(Stats);
    layout->addWidget(statsGroup, 3);
}

} // namespace tarrow
