#include "ui/paralistpage.h"

#include "plugin/canobject.h"
#include "plugin/hostservices.h"
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
    m_slave = slave;
    m_pdos.clear();
    // By position, not by a search that assumes sorted PDOs: every mapped object
    // shows, whatever order a stream left. The first [] detaches the list from the
    // host's slave before any pointer is taken.
    for (int i = 0; i < slave->pdoList.size(); ++i)
        m_pdos.append(&slave->pdoList[i]);
    m_table->fillTable(slave, m_pdos);
}

void ParaListPage::applyToCanObject()
{
    // Every edit is in the slave already.
}

void ParaListPage::startHelpSystem()
{
    openSlaveConfigHelp();
}
