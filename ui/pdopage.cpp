#include "ui/pdopage.h"

#include "model/canobject.h"
#include "model/fixedmapping.h"
#include "model/hostservices.h"
#include "model/slavefromeds.h"
#include "ui/numbertext.h"
#include "ui/pdotext.h"
#include "ui/tablekeys.h"
#include "ui/pdoparametereditdialog.h"
#include "ui/pdoproperty.h"
#include "ui/tablerows.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int rowHeight = 20;
constexpr int lengthColumn = 3;
constexpr int typeColumn = 4;

QTableWidget *pdoTable(int columns, const QStringList &headers, QWidget *parent)
{
    auto *table = new QTableWidget(0, columns, parent);
    table->setHorizontalHeaderLabels(headers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The style's minimum row height would otherwise win over the fixed one.
    table->verticalHeader()->setMinimumSectionSize(rowHeight);
    table->verticalHeader()->setDefaultSectionSize(rowHeight);
    table->verticalHeader()->hide();
    return table;
}

QVBoxLayout *groupLayout(QGroupBox *group, QWidget *content)
{
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(content);
    return layout;
}

// The index in column 0 is the key every operation finds its record by.
bool indexOf(const QTableWidgetItem *item, quint32 &index)
{
    // A row without an item has no index; an empty text is no number either.
    if (!item)
        return false;
    bool ok;
    index = item->text().toUInt(&ok, 16);
    return ok;
}

} // namespace

PDOpage::PDOpage(QWidget *parent)
    : ITabpage(parent)
{
    m_edsGroup = new QGroupBox(tr("EDS PDO"), this);
    m_edsTable = pdoTable(5, {tr("Index"), tr("Name"), tr("Type"), tr("Inhibit Time(ms)"), tr("Event Time(ms)")},
                          m_edsGroup);
    m_edsTable->setColumnWidth(0, 80);
    m_edsTable->setColumnWidth(2, 80);
    // The remaining columns fit their headers; the name takes what is left.
    m_edsTable->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_edsTable->horizontalHeader()->setSectionResizeMode(3, QHeaderView::ResizeToContents);
    m_edsTable->horizontalHeader()->setSectionResizeMode(4, QHeaderView::ResizeToContents);
    groupLayout(m_edsGroup, m_edsTable);

    m_mappedGroup = new QGroupBox(tr("Mapped PDO"), this);
    m_mappedTable = pdoTable(6, {tr("Index"), tr("COB-ID"), tr("R/T"), tr("Length"), tr("Type"), tr("Description")},
                             m_mappedGroup);
    m_mappedTable->horizontalHeader()->setDefaultSectionSize(75);
    // The description is the last column: it takes the rest, so its header is not cut.
    m_mappedTable->horizontalHeader()->setStretchLastSection(true);
    groupLayout(m_mappedGroup, m_mappedTable);

    m_addButton = new QPushButton(tr("Add"), this);
    m_removeButton = new QPushButton(tr("Remove"), this);
    m_configButton = new QPushButton(tr("Config"), this);
    m_propertyButton = new QPushButton(tr("Property"), this);

    m_menu = new QMenu(this);
    m_addAction = new QAction(tr("&Add"), this);
    m_removeAction = new QAction(tr("&Remove"), this);
    m_configAction = new QAction(tr("&Config"), this);
    m_propertyAction = new QAction(tr("&Property"), this);

    m_helpAction = new QAction(tr("help"), this);
    m_helpAction->setShortcut(QKeySequence(QStringLiteral("F1")));
    addAction(m_helpAction);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {m_addButton, m_removeButton, m_configButton, m_propertyButton})
        buttons->addWidget(button);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_edsGroup);
    layout->addWidget(m_mappedGroup);
    layout->addLayout(buttons);

    m_edsTable->installEventFilter(this);
    m_mappedTable->installEventFilter(this);
    // Return does what a double-click does: adds the chosen PDOs, or configures one.
    keepReturnInTable(m_edsTable, [this]() { addMap_slot(); });
    keepReturnInTable(m_mappedTable, [this]() { configMappedPDO_slot(); });

    connect(m_edsTable, &QTableWidget::itemDoubleClicked, this, &PDOpage::edsPdoTableItemDoubleClicked_slot);
    connect(m_mappedTable, &QTableWidget::itemDoubleClicked, this, &PDOpage::mappedTableItemDoubleClicked_slot);
    connect(m_configButton, &QPushButton::clicked, this, &PDOpage::configMappedPDO_slot);
    connect(m_configAction, &QAction::triggered, this, &PDOpage::configMappedPDO_slot);
    connect(m_addButton, &QPushButton::clicked, this, &PDOpage::addMap_slot);
    connect(m_addAction, &QAction::triggered, this, &PDOpage::addMap_slot);
    connect(m_removeButton, &QPushButton::clicked, this, &PDOpage::remove_slot);
    connect(m_removeAction, &QAction::triggered, this, &PDOpage::remove_slot);
    connect(m_propertyButton, &QPushButton::clicked, this, &PDOpage::showMappedProperty_slot);
    connect(m_propertyAction, &QAction::triggered, this, &PDOpage::showMappedProperty_slot);
    connect(m_helpAction, &QAction::triggered, this, &PDOpage::startHelpSystem);
}

void PDOpage::setCanObject(CanObject *slave)
{
    if (!slave)
        return;
    m_slave = slave;
    fillEdsTable();
    fillMappedTable();
}

void PDOpage::applyToCanObject()
{
    // Every change is in the slave already.
}

bool PDOpage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ContextMenu && (watched == m_edsTable || watched == m_mappedTable)) {
        m_menu->clear();
        if (watched == m_edsTable) {
            m_menu->addAction(m_addAction);
        } else {
            m_menu->addAction(m_configAction);
            m_menu->addAction(m_removeAction);
            m_menu->addSeparator();
            m_menu->addAction(m_propertyAction);
        }
        m_menu->exec(static_cast<QContextMenuEvent *>(event)->globalPos());
    }
    return ITabpage::eventFilter(watched, event);
}

void PDOpage::fillEdsTable()
{
    m_edsTable->clearContents();
    // Rows are made at once and keep the default height: growing the table
    // row by row, or sizing each row, costs time in the square of the rows.
    m_edsTable->setRowCount(m_slave->edsPdoList.size());
    for (int row = 0; row < m_slave->edsPdoList.size(); ++row) {
        const EdsPdoEntry &entry = m_slave->edsPdoList.at(row);
        m_edsTable->setItem(row, 0, new QTableWidgetItem(hexText(quint32(entry.index))));
        m_edsTable->setItem(row, 1, new QTableWidgetItem(entry.parameterName));
        m_edsTable->setItem(row, 2, new QTableWidgetItem(hexText(entry.transmissionType)));
        m_edsTable->setItem(row, 3, new QTableWidgetItem(inhibitTimeMsText(entry.inhibitTime)));
        m_edsTable->setItem(row, 4, new QTableWidgetItem(QString::number(entry.eventTimer)));
    }
}

void PDOpage::fillMappedTable()
{
    if (!m_slave)
        return;
    m_mappedTable->clearContents();
    m_mappedTable->setRowCount(m_slave->pdoList.size());
    for (int row = 0; row < m_slave->pdoList.size(); ++row)
        showMappedRow(row, m_slave->pdoList.at(row));
}

void PDOpage::insertMappedRow(int row, const PDOConfig &pdo)
{
    m_mappedTable->insertRow(row);
    showMappedRow(row, pdo);
}

void PDOpage::showMappedRow(int row, const PDOConfig &pdo)
{
    const QString direction = pdo.direction == PdoReceive ? QStringLiteral("R")
                              : pdo.direction == PdoTransmit ? QStringLiteral("T")
                                                             : QString(QChar(pdo.direction));
    m_mappedTable->setItem(row, 0, new QTableWidgetItem(hexText(pdo.commIndex)));
    m_mappedTable->setItem(row, 1, new QTableWidgetItem(cobIdText(CanObject::effectiveCobId(pdo))));
    m_mappedTable->setItem(row, 2, new QTableWidgetItem(direction));
    m_mappedTable->setItem(row, lengthColumn,
                           new QTableWidgetItem(QString::number(CanObject::pdoByteLength(pdo))));
    m_mappedTable->setItem(row, typeColumn, new QTableWidgetItem(QString::number(pdo.transmissionType)));
    m_mappedTable->setItem(row, 5, new QTableWidgetItem(pdoDescriptionText(pdo)));
    const bool fixed = std::any_of(pdo.mapList.cbegin(), pdo.mapList.cend(), [](const PDOMapEntry &e) { return e.readOnly; });
    if (fixed)
        markFixedRow(m_mappedTable, row, tr("The device fixes this PDO's mapping."));
}

void PDOpage::addEdsPdo(const QTableWidgetItem *indexItem)
{
    quint32 commIndex = 0;
    if (!m_slave || !indexOf(indexItem, commIndex))
        return;
    // A PDO already in use, or one the EDS does not offer, is skipped without a word.
    const int position = m_slave->addPdo(commIndex);
    if (position == -1)
        return;
    PDOConfig *pdo = m_slave->pdo(commIndex);
    if (!pdo)
        return;
    // The device takes a fixed mapping and no other: the PDO comes back with it,
    // read-only as when the slave was created, not empty.
    if (hasFixedMapping(*m_slave, commIndex))
        addDefaultMapping(*m_slave, *pdo);
    insertMappedRow(position, *pdo);
}

void PDOpage::edsPdoTableItemDoubleClicked_slot(QTableWidgetItem *item)
{
    if (item)
        addEdsPdo(m_edsTable->item(item->row(), 0));
}

void PDOpage::mappedTableItemDoubleClicked_slot(QTableWidgetItem *)
{
    configMappedPDO_slot();
}

void PDOpage::addMap_slot()
{
    const QList<QTableWidgetItem *> selected = m_edsTable->selectedItems();
    if (selected.isEmpty()) {
        QMessageBox::information(this, windowTitle(),
                                 tr("Please select at least one parameter to add in the table above."),
                                 QMessageBox::Ok);
        return;
    }
    // Only the index cell of each row, so each selected row counts once.
    for (const QTableWidgetItem *item : selected) {
        if (item->column() == 0)
            addEdsPdo(item);
    }
}

void PDOpage::remove_slot()
{
    if (!m_slave)
        return;
    const QList<int> rows = selectedRowsDescending(m_mappedTable);
    QList<quint32> indexes;
    for (int row : qAsConst(rows)) {
        quint32 commIndex = 0;
        if (indexOf(m_mappedTable->item(row, 0), commIndex))
            indexes.append(commIndex);
    }
    std::sort(indexes.begin(), indexes.end(), std::greater<quint32>());
    for (quint32 commIndex : qAsConst(indexes))
        m_slave->removePdo(commIndex);
    // Highest row first, so the rows still to go keep their numbers.
    for (int row : qAsConst(rows))
        m_mappedTable->removeRow(row);
}

void PDOpage::configMappedPDO_slot()
{
    quint32 commIndex = 0;
    const int row = m_mappedTable->currentRow();
    if (!m_slave || !indexOf(m_mappedTable->item(row, 0), commIndex))
        return;
    PDOConfig *pdo = m_slave->pdo(commIndex);
    if (!pdo)
        return;

    // The editor changes the live record and the memory book as it goes;
    // Cancel rolls both back from here.
    const PDOConfig saved = *pdo;
    const QString key = m_slave->projectKey;
    saveMemoryUsedState(key);
    PDOParameterEditDialog dialog(m_slave, commIndex, this);
    int answer = QDialog::Rejected;
    try {
        answer = dialog.exec();
    } catch (...) {
        restoreMemoryUsedState(key);
        throw;
    }
    if (answer == QDialog::Accepted) {
        if (const PDOConfig *live = m_slave->pdo(commIndex)) {
            if (QTableWidgetItem *length = m_mappedTable->item(row, lengthColumn))
                length->setText(QString::number(CanObject::pdoByteLength(*live)));
        }
        deleteMemoryUsedState(key);
        return;
    }
    restoreMemoryUsedState(key);
    if (PDOConfig *live = m_slave->pdo(commIndex))
        *live = saved;
}

void PDOpage::showMappedProperty_slot()
{
    const int row = m_mappedTable->currentRow();
    quint32 commIndex = 0;
    if (!m_slave || !indexOf(m_mappedTable->item(row, 0), commIndex))
        return;
    PDOConfig *pdo = m_slave->pdo(commIndex);
    if (!pdo)
        return;

    PDOConfig copy = *pdo;
    PDOProperty dialog(&copy, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // The dialog may have run an event loop: fetch the record again.
    if (PDOConfig *live = m_slave->pdo(commIndex)) {
        *live = copy;
        if (QTableWidgetItem *type = m_mappedTable->item(row, typeColumn))
            type->setText(QString::number(copy.transmissionType));
    }
}

void PDOpage::setNewName_slot(QString newname)
{
    if (m_slave)
        m_slave->name = newname;
}

void PDOpage::startHelpSystem()
{
    openSlaveConfigHelp();
}
