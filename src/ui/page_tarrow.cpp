// The "Configure Tarrow" and "Tarrow Configs" pages.
#include "main.h"

#include "widgets.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tarrow {

void TMainfrm::buildTarrowPage() {
    auto* layout = new QHBoxLayout(Tarrow);
    auto* fileGroup = new QGroupBox(QStringLiteral("File Box:"), Tarrow);
    auto* fileLayout = new QVBoxLayout(fileGroup);
    auto* caption = new QLabel(QStringLiteral("Known files:"));
    Filelst = new QComboBox(fileGroup);
    Filelst->setObjectName(QStringLiteral("Filelst"));
    Filelst->setAccessibleName(caption->text());
    caption->setBuddy(Filelst);
    fileLayout->addWidget(caption);
    fileLayout->addWidget(Filelst);
    fileLayout->addStretch();
    layout->addStretch(1);
    layout->addWidget(fileGroup, 1);
}

void TMainfrm::buildConfigsPage() {
    auto* layout = new QVBoxLayout(Configs);
    auto* caption = new QLabel(QStringLiteral("Per-map configurations:"));
    Configlst = new FileListBox(QStringLiteral("*.cfg"), Configs);
    Configlst->setObjectName(QStringLiteral("Configlst"));
    Configlst->setAccessibleName(caption->text());
    caption->setBuddy(Configlst);
    layout->addWidget(caption);
    layout->addWidget(Configlst);
}

} // namespace tarrow
