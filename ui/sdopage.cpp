#include "ui/sdopage.h"

#include "model/canobject.h"
#include "model/hostservices.h"
#include "model/sdovalue.h"
#include "ui/newsdodialog.h"
#include "ui/numbertext.h"
#include "ui/sdoobjects.h"
#include "ui/tablekeys.h"
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
constexpr int columnWidths[] = {140, 140, 200, 80, 140};

} // namespace

SdoPage::SdoPage(QWidget *parent)
    : ITabpage(parent)
{
    setWindowTitle(tr("Auto SDO Config"));
    resize(600, 400);

    m_group = new QGroupBox(tr("SDO Config"), this);
    m_table = new QTableWidget(0, 5, m_group);
    m_table->setHorizontalHeaderLabels(
        {tr("Index(hex)"), tr("Sub Index(hex)"), tr("Name"), tr("Length"), tr("Data")});
    int column = 0;
    for (int width : columnWidths)
        m_table->setColumnWidth(column++, width);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->setMinimumSectionSize(rowHeight);
    m_table->verticalHeader()->setDefaultSectionSize(rowHeight);
    m_table->installEventFilter(this);
    keepReturnInTable(m_table, [this]() { edit_slot(); });
    auto *groupLayout = new QVBoxLayout(m_group);
    groupLayout->addWidget(m_table);

    m_addButton = new QPushButton(tr("Add"), this);
    m_removeButton = new QPushButton(tr("Remove"), this);
    m_editButton = new QPushButton(tr("Edit"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_removeButton);
    buttons->addWidget(m_editButton);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_group);
    layout->addLayout(buttons);

    m_menu = new QMenu(this);
    QAction *addAction = m_menu->addAction(tr("&Add"));
    QAction *editAction = m_menu->addAction(tr("&Edit"));
    QAction *removeAction = m_menu->addAction(tr("&Remove"));

    m_helpAction = new QAction(tr("help"), this);
    m_helpAction->setShortcut(QKeySequence(QStringLiteral("F1")));
    this->addAction(m_helpAction);

    connect(m_addButton, &QPushButton::clicked, this, &SdoPage::add_slot);
    connect(addAction, &QAction::triggered, this, &SdoPage::add_slot);
    connect(m_removeButton, &QPushButton::clicked, this, &SdoPage::remove_slot);
    connect(removeAction, &QAction::triggered, this, &SdoPage::remove_slot);
    connect(m_editButton, &QPushButton::clicked, this, &SdoPage::edit_slot);
    connect(editAction, &QAction::triggered, this, &SdoPage::edit_slot);
    connect(m_table, &QTableWidget::itemDoubleClicked, this, &SdoPage::sdotableDoubleClicked_slot);
    connect(m_helpAction, &QAction::triggered, this, &SdoPage::startHelpSystem);
}

void SdoPage::setCanObject(CanObject *slave)
{
    if (!slave)
        return;
    m_slave = slave;
    fillTable();
}

void SdoPage::applyToCanObject()
{
    // Every change is in the slave already.
}

bool SdoPage::eventFilter(QObject *watched, QEvent *event)
{
    const bool result = ITabpage::eventFilter(watched, event);
    if (watched == m_table && event->type() == QEvent::ContextMenu)
        m_menu->exec(static_cast<QContextMenuEvent *>(event)->globalPos());
    return result;
}

void SdoPage::add_slot()
{
    if (hasReachedMaxSdo()) {
        showLimitReached();
        return;
    }
    insertNewAudoSdo();
}

void SdoPage::remove_slot()
{
    if (!m_slave)
        return;
    const QList<int> rows = selectedRowsDescending(m_table);
    for (int row : qAsConst(rows)) {
        m_slave->removeSdo(row);
        m_table->removeRow(row);
    }
}

void SdoPage::edit_slot()
{
    if (!m_slave)
        return;
    const int row = m_table->currentRow();
    SDOEntry *sdo = m_slave->sdoAt(row);
    if (!sdo)
        return;
    const SDOEntry before = *sdo;
    NewSDODialog dialog(this);
    dialog.execEdit(sdo, m_slave);
    const int same = samePlaceAs(*sdo, row);
    if (same >= 0 && (sdo->index != before.index || sdo->subIndex != before.subIndex)) {
        const int answer = askAboutRepeat(*sdo);
        if (answer == QMessageBox::Cancel) {
            *sdo = before;
        } else if (answer == QMessageBox::Yes) {
            m_slave->sdoList[same] = *sdo;
            m_slave->removeSdo(row);
            fillTable(); // the rows after the removed one move up
            return;
        }
    }
    // Rewritten whatever the result: opening the dialog may have given the value a text.
    showSdo(row, *sdo);
}

void SdoPage::sdotableDoubleClicked_slot(QTableWidgetItem *)
{
    edit_slot();
}

bool SdoPage::hasReachedMaxSdo()
{
    return m_slave && m_slave->sdoList.size() >= maxSdoCount;
}

void SdoPage::insertNewAudoSdo()
{
    if (!m_slave)
        return;
    NewSDODialog dialog(this);
    const QList<SDOEntry> entries = dialog.execNew(m_slave);
    for (const SDOEntry &entry : entries) {
        const int same = samePlaceAs(entry, -1);
        if (same >= 0) {
            const int answer = askAboutRepeat(entry);
            if (answer == QMessageBox::Cancel)
                continue;
            if (answer == QMessageBox::Yes) {
                m_slave->sdoList[same] = entry;
                showSdo(same, entry);
                continue;
            }
        }
        // Checked again for each entry: several chosen rows may pass the limit.
        if (hasReachedMaxSdo()) {
            showLimitReached();
            return;
        }
        const int row = m_slave->addSdo(entry);
        if (row < 0)
            continue;
        m_table->insertRow(row);
        showSdo(row, entry);
    }
}

void SdoPage::startHelpSystem()
{
    openSlaveConfigHelp();
}

void SdoPage::fillTable()
{
    m_table->clearContents();
    // All rows at once, of the default height: row by row costs the square of the rows.
    const QList<SDOEntry> sdos = m_slave->sdoList;
    m_table->setRowCount(sdos.size());
    for (int row = 0; row < sdos.size(); ++row) {
        SDOEntry shown = sdos.at(row);
        // A value read back from a block has bytes only; show them, keep the model as it is.
        if (shown.dataText.isEmpty() && !shown.data.isEmpty())
            shown.dataText = sdoBytesText(sdoValueTail(shown.data, shown.length));
        EdsEntry object;
        if (dictionaryEntry(*m_slave, shown.index, shown.subIndex, object))
            shown.name = object.parameterName;
        showSdo(row, shown);
    }
}

void SdoPage::showSdo(int row, const SDOEntry &sdo)
{
    const QString texts[] = {hexText(sdo.index), hexText(sdo.subIndex), sdo.name,
                             QString::number(sdo.length), sdo.dataText};
    for (int column = 0; column < 5; ++column)
        m_table->setItem(row, column, new QTableWidgetItem(texts[column]));
}

void SdoPage::showLimitReached()
{
    QMessageBox::information(this, windowTitle(),
                             tr("The count of auto SDO has reached the maximum number 8."), QMessageBox::Ok);
}

int SdoPage::samePlaceAs(const SDOEntry &sdo, int except) const
{
    for (int i = 0; i < m_slave->sdoList.size(); ++i) {
        const SDOEntry &other = m_slave->sdoList.at(i);
        if (i != except && other.index == sdo.index && other.subIndex == sdo.subIndex)
            return i;
    }
    return -1;
}

int SdoPage::askAboutRepeat(const SDOEntry &sdo)
{
    // The device takes the last value written: two SDOs for one object are seldom meant.
    QMessageBox box(QMessageBox::Question, windowTitle(),
                    tr("An SDO for object %1 sub-index %2 is already in the list.").arg(hexText(sdo.index), hexText(sdo.subIndex)),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
    box.button(QMessageBox::Yes)->setText(tr("Replace"));
    box.button(QMessageBox::No)->setText(tr("Add"));
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec();
}
