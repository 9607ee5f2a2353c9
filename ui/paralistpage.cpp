#include "ui/paralistpage.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "ui/pdoparameterlisttable.h"

#include <QAction>
#include <QVBoxLayout>

ParaListPage::ParaListPage(QWidget *parent)
    : ITabpage(parent)
{
    m_table = new PDOParameterListTable(this, true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_table);

    auto *help = new QAction(tr("help"), this);
    help->setShortcut(QKeySequence(QStringLiteral("F1")));
    addAction(help);
    connect(help, &QAction::triggered, this, &ParaListPage::startHelpSystem);
}

void ParaListPage::setCanObject(CanObject *slave)
{
    if (!slave)
        return;
    // Rebuilt every time: the other tabs may have changed the mapping meanwhile.
    m_table->fillTable(slave);
}

void ParaListPage::applyToCanObject()
{
    // Every edit is in the slave already.
}

void ParaListPage::startHelpSystem()
{
    openSlaveConfigHelp();
}
